// The bytes of a listing file as they enter the editor.
#pragma once

#include <string>
#include <string_view>

namespace kuv {

// The text ends before the first zero byte; CR LF stays, a lone CR and a
// lone LF become CR LF. The scan goes by characters, so the byte after a
// lead byte is never taken for a line break.
std::string NormaliseLoadedText(std::string_view fileBytes);

// The same, for bytes that arrive a piece at a time (a file read in chunks,
// a pipe): the text is the one NormaliseLoadedText gives for all the pieces
// together, and reading can stop once a zero byte has ended it.
class LoadedTextBuilder {
public:
    // Room for the text of a file of this many bytes, so that a large file
    // is not copied as the text grows. Untouched room costs no memory.
    void ReserveFor(std::size_t fileBytes);
    // Returns false once the text has ended: the rest need not be read.
    bool Append(std::string_view bytes);
    bool Ended() const { return ended_; }
    // Bytes of text so far.
    std::size_t Size() const { return out_.size() + (pendingLead_ ? 1 : 0); }
    std::string Finish();

private:
    std::string out_;
    char lead_ = 0;
    bool pendingLead_ = false;  // lead_ waits for the byte after it
    bool afterCr_ = false;      // the last byte was a CR, already written as CR LF
    bool ended_ = false;
};

}  // namespace kuv
