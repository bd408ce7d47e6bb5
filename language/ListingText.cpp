#include "ListingText.h"

#include "Cp932.h"

namespace kuv {

void LoadedTextBuilder::ReserveFor(std::size_t fileBytes) {
    // Every byte becomes at most two (a lone LF becomes CR LF).
    if (fileBytes <= (out_.max_size() - 16) / 2) out_.reserve(2 * fileBytes + 16);
}

bool LoadedTextBuilder::Append(std::string_view bytes) {
    if (ended_) return false;
    std::size_t i = 0;
    if (pendingLead_ && !bytes.empty()) {
        pendingLead_ = false;
        if (bytes[0] == '\0') {  // the text ends after the lead byte
            out_ += lead_;
            ended_ = true;
            return false;
        }
        out_ += lead_;
        out_ += bytes[0];
        afterCr_ = false;
        i = 1;
    }
    for (; i < bytes.size(); ++i) {
        const char b = bytes[i];
        if (b == '\0') {
            ended_ = true;
            return false;
        }
        if (afterCr_) {
            afterCr_ = false;
            if (b == '\n') continue;  // the LF of a CR LF already written
        }
        if (IsLeadByte(static_cast<unsigned char>(b))) {
            if (i + 1 == bytes.size()) {
                lead_ = b;
                pendingLead_ = true;
                return true;
            }
            if (bytes[i + 1] == '\0') {
                out_ += b;
                ended_ = true;
                return false;
            }
            out_.append(bytes.data() + i, 2);
            ++i;
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
