// A second process for the Windows sharing and locking tests.
//
//   zered_file_holder lock <file> <offset> <length> <hold ms> [<hex bytes>]
//     Locks the region exclusively (LockFileEx), prints "locked", waits <hold ms> (or, for -1,
//     until its standard input ends), writes the bytes at <offset> while it still holds the
//     lock, then unlocks.
//   zered_file_holder write-rename <file> <offset> <hex bytes> <new name>
//     Writes the bytes at <offset> (the file may grow), closes the file and renames it.
//
// Exits with 0 when everything succeeded, else prints the failing step and its error code.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string FromHex(const char* hex) {
  std::string bytes;
  for (const char* p = hex; p[0] != '\0' && p[1] != '\0'; p += 2) {
    const char pair[3] = {p[0], p[1], '\0'};
    bytes += static_cast<char>(std::strtoul(pair, nullptr, 16));
  }
  return bytes;
}

int Fail(const char* step) {
  std::printf("%s failed: %lu\n", step, ::GetLastError());
  return 1;
}

HANDLE OpenShared(const char* path) {
  return ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAt(HANDLE file, unsigned long long offset, const std::string& bytes) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &at) &&
         written == bytes.size();
}

void WaitForInputEnd() {
  char buffer[64];
  DWORD got = 0;
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  while (::ReadFile(input, buffer, sizeof buffer, &got, nullptr) && got > 0) {
  }
}

int Lock(int argc, char** argv) {
  if (argc < 6) return Fail("arguments");
  const HANDLE file = OpenShared(argv[2]);
  if (file == INVALID_HANDLE_VALUE) return Fail("open");
  const unsigned long long offset = std::strtoull(argv[3], nullptr, 10);
  const DWORD length = std::strtoul(argv[4], nullptr, 10);
  const long hold = std::strtol(argv[5], nullptr, 10);
  OVERLAPPED region{};
  region.Offset = static_cast<DWORD>(offset);
  region.OffsetHigh = static_cast<DWORD>(offset >> 32);
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, length, 0, &region)) return Fail("lock");
  std::printf("locked\n");
  std::fflush(stdout);
  if (hold < 0) {
    WaitForInputEnd();
  } else {
    ::Sleep(static_cast<DWORD>(hold));
  }
  if (argc > 6 && !WriteAt(file, offset, FromHex(argv[6]))) return Fail("write");
  if (!::UnlockFileEx(file, 0, length, 0, &region)) return Fail("unlock");
  ::CloseHandle(file);
  return 0;
}

int WriteRename(int argc, char** argv) {
  if (argc < 6) return Fail("arguments");
  const HANDLE file = OpenShared(argv[2]);
  if (file == INVALID_HANDLE_VALUE) return Fail("open");
  if (!WriteAt(file, std::strtoull(argv[3], nullptr, 10), FromHex(argv[4]))) return Fail("write");
  ::CloseHandle(file);
  if (!::MoveFileA(argv[2], argv[5])) return Fail("rename");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "lock") return Lock(argc, argv);
  if (command == "write-rename") return WriteRename(argc, argv);
  return Fail("command");
}
