#include "engine/FireLog.h"

#include "core/Messages.h"

#include <fstream>
#include <system_error>

namespace tarnwake::engine {

bool TFireLog::Write(const std::filesystem::path& file, core::IMessages& messages) {
    if (!ToFile) {
        return true;
    }
    if (written_ == lines_.size() && headerWritten_) {
        return true;
    }
    if (written_ == lines_.size() && lines_.empty()) {
        // A game that fired nothing leaves the file as it was.
        return true;
    }
    std::error_code error;
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path(), error);
    }
    std::ofstream out(file, std::ios::app | std::ios::binary);
    if (out) {
        if (!headerWritten_) {
            out << header_ << '\n';
        }
        for (std::size_t i = written_; i < lines_.size(); ++i) {
            out << lines_[i] << '\n';
        }
        out.flush();
    }
    if (!out) {
        if (!failureShown_) {
            failureShown_ = true;
            messages.Error("Error writing " + file.filename().string() + "!\n" + file.string());
        }
        return false;
    }
    headerWritten_ = true;
    written_ = lines_.size();
    return true;
}

void TFireLog::Clear() {
    lines_.clear();
    written_ = 0;
    headerWritten_ = false;
    failureShown_ = false;
}

} // namespace tarnwake::engine
