// Prints the version record of an executable as the system reads it, one
// "Name=Value" line per string of its first translation.
// Usage: version_reader.exe FILE
#include <windows.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
  if (size == 0) return 1;
  std::vector<unsigned char> record(size);
  if (!GetFileVersionInfoW(argv[1], 0, size, record.data())) return 1;
  struct Translation {
    WORD language, code_page;
  }* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof(Translation))
    return 1;
  const wchar_t* names[] = {L"FileVersion",  L"ProductVersion", L"InternalName",    L"FileDescription",
                            L"ProductName",  L"CompanyName",    L"OriginalFilename", L"LegalCopyright"};
  for (const wchar_t* name : names) {
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->code_page, name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(record.data(), path, reinterpret_cast<void**>(&value), &length)) continue;
    char text[512];
    int bytes = WideCharToMultiByte(CP_UTF8, 0, value, -1, text, sizeof text, nullptr, nullptr);
    if (bytes > 0) std::printf("%ls=%s\n", name, text);
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  if (VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr)
    std::printf("FixedFileVersion=%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
  return 0;
}
