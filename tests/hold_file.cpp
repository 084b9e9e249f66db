// Holds a file open as a virus scanner, a backup tool or an indexer does:
// for reading, sharing only reading, so that no other program can write,
// rename or remove it. Says "held" once it is, then waits to be ended.
// With --mutex, ends at once: 0 where a mutex of that name is there.
// Usage: hold_file PATH | hold_file --mutex NAME
#include <cstdio>
#include <cstring>
#include <windows.h>

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--mutex") == 0)
        return OpenMutexA(SYNCHRONIZE, FALSE, argv[2]) ? 0 : 1;
    if (argc != 2)
        return 2;
    const HANDLE file = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "hold_file: cannot open %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    std::puts("held");
    std::fflush(stdout);
    Sleep(INFINITE);
}
