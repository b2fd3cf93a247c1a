#include "install/extract_win32.h"

#include <direct.h>
#include <unzip.h>
// After unzip.h: the Win32 file layer builds on its declarations.
#include <iowin32.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <new>
#include <string>

#include "common/win32_handles.h"
#include "install/extract_walk.h"

namespace pm {
namespace {

// Entry names are converted to at most 324 UTF-16 characters including the terminator.
constexpr int kMaxWideEntryName = 324;

std::wstring WideFromAnsi(const std::string& name) {
    wchar_t buffer[kMaxWideEntryName] = {};
    const int length =
        ::MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, buffer, kMaxWideEntryName);
    if (length <= 0) return std::wstring();
    return std::wstring(buffer);
}

class Win32ExtractSink : public ExtractSink {
  public:
    Win32ExtractSink() = default;
    ~Win32ExtractSink() override {
        if (out_ != nullptr) std::fclose(out_);
    }
    Win32ExtractSink(const Win32ExtractSink&) = delete;
    Win32ExtractSink& operator=(const Win32ExtractSink&) = delete;

    void MakeDirectory(const std::string& name) override {
        const std::wstring wide = WideFromAnsi(name);
        if (!wide.empty()) _wmkdir(wide.c_str());
    }
    int MakeFolderChain(const std::string& folder) override {
        return MakeDirectoryPath(WideFromAnsi(folder).c_str());
    }
    bool CreateOutputFile(const std::string& name) override {
        const std::wstring wide = WideFromAnsi(name);
        if (wide.empty()) return false;
        out_ = _wfopen(wide.c_str(), L"wb");
        return out_ != nullptr;
    }
    bool WriteOutput(const char* data, std::size_t size) override {
        return std::fwrite(data, 1, size, out_) == size;
    }
    bool CloseOutputFile() override {
        const int closed = std::fclose(out_);
        out_ = nullptr;
        return closed == 0;
    }
    void SetFileTime(const std::string& name, std::uint32_t dosDateTime) override {
        SetEntryFileTime(WideFromAnsi(name).c_str(), dosDateTime);
    }

  private:
    FILE* out_ = nullptr;
};

// Makes the folder current, opens nothing else; the walk then runs relative to it.
int WalkInto(unzFile archive, const wchar_t* targetFolder, int skipIconLibrary) {
    if (targetFolder == nullptr || !::SetCurrentDirectoryW(targetFolder)) {
        unzClose(archive);
        return kExtractFailed;
    }
    Win32ExtractSink sink;
    const int result = ExtractEntries(archive, skipIconLibrary, sink);
    unzClose(archive);
    return result;
}

// A minimal minizip file layer over a handle the caller already holds open: the archive is read
// through the very handle it was written with. Closing the stream leaves the handle open.
voidpf ZCALLBACK HandleOpen(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK HandleRead(voidpf, voidpf stream, void* buffer, uLong size) {
    DWORD read = 0;
    if (!::ReadFile(static_cast<HANDLE>(stream), buffer, size, &read, nullptr)) return 0;
    return read;
}

uLong ZCALLBACK HandleWrite(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK HandleTell(voidpf, voidpf stream) {
    LARGE_INTEGER zero{};
    LARGE_INTEGER position{};
    if (!::SetFilePointerEx(static_cast<HANDLE>(stream), zero, &position, FILE_CURRENT)) {
        return static_cast<ZPOS64_T>(-1);
    }
    return static_cast<ZPOS64_T>(position.QuadPart);
}

long ZCALLBACK HandleSeek(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    DWORD method = FILE_BEGIN;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) method = FILE_CURRENT;
    if (origin == ZLIB_FILEFUNC_SEEK_END) method = FILE_END;
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(static_cast<HANDLE>(stream), distance, nullptr, method) ? 0 : -1;
}

int ZCALLBACK HandleClose(voidpf, voidpf) { return 0; }
int ZCALLBACK HandleError(voidpf, voidpf) { return 0; }

bool WriteAll(HANDLE file, const void* bytes, std::size_t size) {
    const char* data = static_cast<const char*>(bytes);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(file, data, chunk, &written, nullptr) || written != chunk) return false;
        data += chunk;
        size -= chunk;
    }
    return true;
}

std::wstring LongFullPath(const std::wstring& path) {
    wchar_t full[1024] = {};
    const DWORD length = ::GetFullPathNameW(path.c_str(), 1024, full, nullptr);
    if (length == 0 || length >= 1024) return path;
    wchar_t longer[1024] = {};
    const DWORD longLength = ::GetLongPathNameW(full, longer, 1024);
    return longLength > 0 && longLength < 1024 ? std::wstring(longer) : std::wstring(full);
}

// True when opening the path reaches a file of that very name. A link that the system does not
// report as a reparse point (Wine shows a host link as a plain file, and deleting it there
// deletes its target) leads elsewhere. Without GetFinalPathNameByHandleW (XP) every file counts
// as itself: XP knows no file links.
bool ReachesItself(const wchar_t* path) {
    using FinalPathFn = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
    const auto finalPath = reinterpret_cast<FinalPathFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW")));
    if (finalPath == nullptr) return true;
    win::FileHandle file(::CreateFileW(
        path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return false;
    wchar_t reached[1024] = {};
    const DWORD length = finalPath(file.Get(), reached, 1024, 0);
    if (length == 0 || length >= 1024) return false;
    std::wstring text(reached);
    if (text.rfind(L"\\\\?\\", 0) == 0) text.erase(0, 4);
    return ::lstrcmpiW(LongFullPath(text).c_str(), LongFullPath(path).c_str()) == 0;
}

// Clears the way for a new file at the path: 1 when nothing stands there (any more), 0 when
// something stays that must not be touched or cannot be removed. A symbolic link reported as
// such is removed itself, never its target.
bool RemoveExisting(const wchar_t* path) {
    const DWORD attributes = ::GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;
    const bool reparsePoint = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return reparsePoint && ::RemoveDirectoryW(path) != 0;
    }
    if (!reparsePoint && !ReachesItself(path)) return false;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        ::SetFileAttributesW(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    return ::DeleteFileW(path) != 0;
}

// "<stem>-<n><extension>" beside the path, for when the path itself is taken.
std::wstring AlternativeName(const std::wstring& path, int n) {
    const std::size_t slash = path.find_last_of(L"\\/");
    std::size_t dot = path.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        dot = path.size();
    return path.substr(0, dot) + L"-" + std::to_wstring(n) + path.substr(dot);
}

}  // namespace

int MakeDirectoryPath(const wchar_t* path) {
    if (path == nullptr || *path == L'\0') return 0;
    std::wstring copy;
    try {
        copy = path;
    } catch (const std::bad_alloc&) {
        return -104;
    }
    if (copy.back() == L'/') copy.pop_back();
    if (_wmkdir(copy.c_str()) == 0) return 1;
    for (std::size_t i = 1; i <= copy.size(); ++i) {
        if (i == copy.size() || copy[i] == L'\\' || copy[i] == L'/') {
            const wchar_t kept = i < copy.size() ? copy[i] : L'\0';
            if (i < copy.size()) copy[i] = L'\0';
            if (_wmkdir(copy.c_str()) != 0 && errno == ENOENT) return 0;
            if (i < copy.size()) copy[i] = kept;
        }
    }
    return 1;
}

void SetEntryFileTime(const wchar_t* fileName, std::uint32_t dosDateTime) {
    win::FileHandle file(::CreateFileW(fileName, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    FILETIME created{}, accessed{}, written{};
    ::GetFileTime(file.Get(), &created, &accessed, &written);
    FILETIME local{};
    FILETIME universal{};
    if (!::DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                                 static_cast<WORD>(dosDateTime & 0xFFFF), &local) ||
        !::LocalFileTimeToFileTime(&local, &universal)) {
        return;
    }
    ::SetFileTime(file.Get(), &universal, &accessed, &universal);
}

int ExtractArchive(const wchar_t* archivePath, const wchar_t* targetFolder, int skipIconLibrary) {
    if (archivePath == nullptr || *archivePath == L'\0') return kExtractFailed;
    zlib_filefunc64_def files{};
    fill_win32_filefunc64W(&files);
    unzFile archive = unzOpen2_64(archivePath, &files);
    if (archive == nullptr) return kExtractFailed;
    return WalkInto(archive, targetFolder, skipIconLibrary);
}

int ExtractBytesViaTemporaryFile(const void* bytes, std::size_t size, const wchar_t* temporaryPath,
                                 const wchar_t* targetFolder, int skipIconLibrary) {
    // Created new, so a link planted meanwhile makes the creation fail instead of being
    // followed; read sharing only, so nobody can change the archive until it is deleted. When
    // the name is held by something that must stay (a link to another file, a folder), a
    // numbered name beside it is taken instead.
    std::wstring path = temporaryPath;
    win::FileHandle file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        if (attempt > 0) path = AlternativeName(temporaryPath, attempt);
        if (!RemoveExisting(path.c_str())) continue;
        file.Reset(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY, nullptr));
    }
    if (!file) return kExtractFailed;
    int result = kExtractFailed;
    if (WriteAll(file.Get(), bytes, size)) {
        zlib_filefunc64_def files{};
        files.zopen64_file = HandleOpen;
        files.zread_file = HandleRead;
        files.zwrite_file = HandleWrite;
        files.ztell64_file = HandleTell;
        files.zseek64_file = HandleSeek;
        files.zclose_file = HandleClose;
        files.zerror_file = HandleError;
        files.opaque = file.Get();
        unzFile archive = unzOpen2_64(path.c_str(), &files);
        if (archive != nullptr) result = WalkInto(archive, targetFolder, skipIconLibrary);
    }
    file.Reset();
    if (!::DeleteFileW(path.c_str())) result = kExtractFailed;
    return result;
}

int ExtractPayload(WORD resourceId, const wchar_t* resourceType, const wchar_t* temporaryName,
                   const wchar_t* targetFolder, int skipIconLibrary) {
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(resourceId), resourceType);
    if (found == nullptr) return kExtractFailed;
    HGLOBAL loaded = ::LoadResource(nullptr, found);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    const DWORD size = ::SizeofResource(nullptr, found);
    if (bytes == nullptr || size == 0) return kExtractFailed;

    wchar_t folder[520] = {};
    const DWORD length = ::GetTempPathW(519, folder);
    if (length == 0 || length >= 519) return kExtractFailed;
    std::wstring temporaryPath(folder);
    if (temporaryPath.back() != L'\\') temporaryPath += L'\\';
    temporaryPath += temporaryName;
    return ExtractBytesViaTemporaryFile(bytes, size, temporaryPath.c_str(), targetFolder,
                                        skipIconLibrary);
}

}  // namespace pm
