#include "schedule/xlsx_zip.h"

#include <algorithm>
#include <array>
#include <memory>

#include "engine/utf_text.h"
#include "schedule/schedule_text.h"

namespace pile::schedule::xlsx {

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

Archive::~Archive() {
    if (zip_ != nullptr) {
        zip_discard(zip_);
    }
}

std::optional<std::u16string> Archive::Open() {
    const std::u16string broken = u"工作簿已损坏或不完整（zip 压缩包读不了）";
    zip_error_t error;
    zip_error_init(&error);
    // The archive is the file's bytes in memory; the source does not own them.
    zip_source_t* source = zip_source_buffer_create(bytes_.data(), bytes_.size(), 0, &error);
    if (source != nullptr) {
        zip_ = zip_open_from_source(source, ZIP_RDONLY, &error);
        if (zip_ == nullptr) {
            zip_source_free(source);
        }
    }
    zip_error_fini(&error);
    if (zip_ == nullptr) {
        return broken;
    }
    const zip_int64_t count = zip_get_num_entries(zip_, 0);
    if (count < 0) {
        return broken;
    }
    if (static_cast<zip_uint64_t>(count) > limits_.maxEntries) {
        return u"工作簿含有超过 " + DecimalText(limits_.maxEntries) + u" 个部件，不是桩表";
    }
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(zip_, index, ZIP_FL_ENC_RAW, &stat) != 0 ||
            (stat.valid & (ZIP_STAT_NAME | ZIP_STAT_SIZE)) != (ZIP_STAT_NAME | ZIP_STAT_SIZE)) {
            return broken;
        }
        const bool encrypted =
            (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE;
        entries_.emplace(Folded(stat.name), Entry{index, stat.size, encrypted});
        statedTotal_ =
            std::min<std::size_t>(limits_.maxUncompressedBytes,
                                  statedTotal_ + static_cast<std::size_t>(std::min<zip_uint64_t>(
                                                     stat.size, limits_.maxUncompressedBytes)));
    }
    return std::nullopt;
}

std::optional<std::u16string> Archive::Read(std::string_view part, const Sink& sink) {
    const std::u16string shown = Utf8ToUtf16(part);
    const auto entry = entries_.find(Folded(part));
    if (entry == entries_.end()) {
        return u"工作簿不完整：缺少 " + shown;
    }
    if (entry->second.encrypted) {
        return u"工作簿设有密码，读不了；请在 Excel 中去掉密码后保存，或" + kSaveAs;
    }
    const std::u16string bomb = u"工作簿解压后超过 " + MegabytesText(limits_.maxUncompressedBytes) +
                                u"，不是桩表（可能是压缩炸弹）";
    // The stated size may lie; it is checked before and the bytes are counted as they come.
    if (entry->second.size > limits_.maxUncompressedBytes - inflated_) {
        return bomb;
    }
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> file(
        zip_fopen_index(zip_, entry->second.index, 0), &zip_fclose);
    if (file == nullptr) {
        return u"工作簿已损坏：" + shown + u" 打不开";
    }

    const std::u16string damaged = u"工作簿已损坏：" + shown + u" 的校验和不对";
    std::array<char, 64 * 1024> buffer;
    zip_uint64_t read = 0;
    for (;;) {
        // Never more than the stated size: a part longer than it says is damaged, and the
        // read past the end below tells it.
        const zip_uint64_t want = std::min<zip_uint64_t>(buffer.size(), entry->second.size - read);
        const zip_int64_t got = want == 0 ? 0 : zip_fread(file.get(), buffer.data(), want);
        if (got < 0) {
            const int code = zip_error_code_zip(zip_file_get_error(file.get()));
            return code == ZIP_ER_CRC || code == ZIP_ER_INCONS
                       ? damaged
                       : u"工作簿已损坏：" + shown + u" 解压出错";
        }
        read += static_cast<zip_uint64_t>(got);
        inflated_ += static_cast<std::size_t>(got);
        if (inflated_ > limits_.maxUncompressedBytes) {
            return bomb;
        }
        // A large sheet takes seconds to parse: the window stays drawn and can stop it.
        if (progress_ && inflated_ >= nextTick_) {
            nextTick_ = inflated_ + kProgressTick;
            if (!progress_(inflated_, std::max(statedTotal_, inflated_))) {
                return std::u16string(kReadingStopped);
            }
        }
        const bool last = got == 0;
        if (last) {
            // libzip checks the CRC when the part is read to its end: one byte more must
            // find that end, and the bytes must be as many as the archive says.
            char extra = 0;
            if (read != entry->second.size || zip_fread(file.get(), &extra, 1) != 0) {
                return damaged;
            }
        }
        if (auto why = sink(std::string_view(buffer.data(), static_cast<std::size_t>(got)), last)) {
            return why;
        }
        if (last) {
            return std::nullopt;
        }
    }
}

}  // namespace pile::schedule::xlsx
