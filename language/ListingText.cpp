#include "ListingText.h"

#include "Cp932.h"

namespace kuv {

void LoadedTextBuilder::ReserveFor(std::size_t fileBytes) {
    // Every byte becomes at most two (a lone LF becomes CR LF).
    if (fileBytes <= (out_.max_size() - 16) / 2) out_.reserve(2 * fileBytes + 16);
}

bool LoadedTextBuilder::Append(std::string_view bytes) {
    if (ended_) return false;
    for (const char b : bytes) {
        if (b == '\0') {  // the text ends here; a lead byte before it stands alone
            if (pendingLead_) out_ += lead_;
            pendingLead_ = false;
            ended_ = true;
            return false;
        }
        if (pendingLead_) {  // the byte after a lead byte belongs to it, whatever it is
            out_ += lead_;
            out_ += b;
            pendingLead_ = false;
            continue;
        }
        if (afterCr_) {
            afterCr_ = false;
            if (b == '\n') continue;  // the LF of a CR LF already written
        }
        if (IsLeadByte(static_cast<unsigned char>(b))) {
            lead_ = b;
            pendingLead_ = true;
        } else if (b == '\r') {
            out_ += "\r\n";
            afterCr_ = true;
        } else if (b == '\n') {
            out_ += "\r\n";
        } else {
            out_ += b;
        }
    }
    return true;
}

std::string LoadedTextBuilder::Finish() {
    if (pendingLead_) out_ += lead_;  // a lead byte at the very end stands alone
    pendingLead_ = false;
    ended_ = true;
    return std::move(out_);
}

std::string NormaliseLoadedText(std::string_view bytes) {
    LoadedTextBuilder builder;
    builder.ReserveFor(bytes.size());
    builder.Append(bytes);
    return builder.Finish();
}

}  // namespace kuv
