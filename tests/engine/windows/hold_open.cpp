// Holds a file open without sharing, as another program may, until told to
// let go: hold_open FILE. Makes FILE.held once it holds the file, closes it
// when FILE.release appears (or after a minute).
#include <string>
#include <windows.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const std::string path = argv[1];
    HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) {
        return 1;
    }
    HANDLE marker = ::CreateFileA((path + ".held").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ::CloseHandle(marker);
    for (int tick = 0; tick < 600; ++tick) {
        if (::GetFileAttributesA((path + ".release").c_str()) != INVALID_FILE_ATTRIBUTES) {
            break;
        }
        ::Sleep(100);
    }
    ::CloseHandle(held);
    return 0;
}
