#include "files/tables/name_fold.hpp"

#include <cstddef>
#include <cstdint>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>
#include <utility>

namespace quorvel {

namespace {

// No file system takes names anywhere near this long. Past it a name is folded as
// bytes, which keeps every length within ICU's 32-bit counts.
constexpr std::size_t kMaxUnicodeName = std::size_t{1} << 20;

bool IsAscii(std::string_view bytes) {
    unsigned char any = 0;
    for (const char c : bytes) {
        any |= static_cast<unsigned char>(c);
    }
    return any < 0x80;
}

void FoldAsciiInto(std::string_view bytes, std::string& out) {
    out.assign(bytes.data(), bytes.size());
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
}

const icu::Normalizer2* Nfc() {
    static const icu::Normalizer2* const nfc = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* instance = icu::Normalizer2::getNFCInstance(status);
        return U_SUCCESS(status) ? instance : nullptr;
    }();
    return nfc;
}

// Writes into `dest` with `write(buffer, capacity, status)`, which returns the length
// it wrote or, on U_BUFFER_OVERFLOW_ERROR, the length it needs. False on failure.
template <typename Write> bool WriteInto(icu::UnicodeString& dest, int32_t capacity, Write write) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        dest.remove(); // also clears a string left bogus by a failed allocation
        char16_t* buffer = dest.getBuffer(capacity);
        if (buffer == nullptr) {
            return false;
        }
        UErrorCode status = U_ZERO_ERROR;
        const int32_t length = write(buffer, capacity, status);
        dest.releaseBuffer(U_SUCCESS(status) ? length : 0);
        if (U_SUCCESS(status)) {
            return true;
        }
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            return false;
        }
        capacity = length;
    }
    return false;
}

// Fails when `bytes` is not well-formed UTF-8 (stray bytes, overlong forms, surrogates).
bool FromUtf8(std::string_view bytes, icu::UnicodeString& dest) {
    const auto size = static_cast<int32_t>(bytes.size());
    // UTF-16 never takes more units than UTF-8 takes bytes.
    return WriteInto(dest, size, [&](char16_t* buffer, int32_t capacity, UErrorCode& status) {
        int32_t length = 0;
        u_strFromUTF8(buffer, capacity, &length, bytes.data(), size, &status);
        return length;
    });
}

bool FoldCase(const icu::UnicodeString& text, icu::UnicodeString& dest) {
    // Full case folding turns one UTF-16 unit into three at most.
    return WriteInto(dest, text.length() * 3, [&](char16_t* buffer, int32_t capacity, UErrorCode& status) {
        return u_strFoldCase(buffer, capacity, text.getBuffer(), text.length(), U_FOLD_CASE_DEFAULT, &status);
    });
}

// Leaves the NFC form of `*text` in `*text`, using `*spare` when it must change.
bool ToNfc(const icu::Normalizer2& nfc, icu::UnicodeString*& text, icu::UnicodeString*& spare) {
    UErrorCode status = U_ZERO_ERROR;
    if (nfc.spanQuickCheckYes(*text, status) == text->length() && U_SUCCESS(status)) {
        return true;
    }
    status = U_ZERO_ERROR;
    nfc.normalize(*text, *spare, status);
    std::swap(text, spare);
    return U_SUCCESS(status);
}

bool ToUtf8(const icu::UnicodeString& text, std::string& out) {
    // A UTF-16 unit never takes more than three bytes.
    out.resize(static_cast<std::size_t>(text.length()) * 3);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(out.data(), static_cast<int32_t>(out.size()), &length, text.getBuffer(), text.length(),
                &status);
    out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
    return U_SUCCESS(status);
}

bool FoldUnicodeInto(std::string_view bytes, std::string& out) {
    const icu::Normalizer2* nfc = Nfc();
    if (nfc == nullptr || bytes.size() > kMaxUnicodeName) {
        return false;
    }
    // Kept from name to name, so that a run over many names does not allocate for each.
    thread_local icu::UnicodeString first;
    thread_local icu::UnicodeString second;
    icu::UnicodeString* text = &first;
    icu::UnicodeString* spare = &second;
    if (!FromUtf8(bytes, *text) || !ToNfc(*nfc, text, spare) || !FoldCase(*text, *spare)) {
        return false;
    }
    std::swap(text, spare);
    return ToNfc(*nfc, text, spare) && ToUtf8(*text, out);
}

} // namespace

void FoldedNameInto(std::string_view bytes, std::string& out) {
    out.clear();
    if (IsAscii(bytes) || !FoldUnicodeInto(bytes, out)) {
        FoldAsciiInto(bytes, out);
    }
}

std::string FoldedName(std::string_view bytes) {
    std::string out;
    FoldedNameInto(bytes, out);
    return out;
}

bool FolderIgnoresCase(int dirfd) {
    // Kernel NTFS drivers: the old one, then ntfs3.
    constexpr std::uint32_t kNtfsMagic = 0x5346544e;
    constexpr std::uint32_t kNtfs3Magic = 0x7366746e;
    struct statfs fs {};
    if (::fstatfs(dirfd, &fs) == 0) {
        switch (static_cast<std::uint32_t>(fs.f_type)) {
        case MSDOS_SUPER_MAGIC: // vfat and msdos
        case EXFAT_SUPER_MAGIC:
        case kNtfsMagic:
        case kNtfs3Magic:
        case CIFS_SUPER_MAGIC:
        case SMB2_SUPER_MAGIC:
            return true;
        default:
            break;
        }
    }
    int flags = 0;
    return ::ioctl(dirfd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
}

} // namespace quorvel
