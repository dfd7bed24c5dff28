#include "platform/instance_claim.h"

#include "platform/paths.h"
#include "platform/win32/handle.h"
#include "platform/win32/wide.h"

#include <cstdlib>
#include <string>
#include <windows.h>

namespace tolvane::platform {

namespace {

// The holder's event, named after its process number, which the lock file
// holds; another start sets it.
std::wstring eventName(unsigned long process) {
    return L"Local\\Tolvane.show." + std::to_wstring(process);
}

// The process number written in a held lock file, or 0 before the holder
// has written it.
unsigned long holderOf(const std::wstring& path) {
    Handle file(::CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return 0;
    }
    char text[32] = {};
    DWORD read = 0;
    if (!::ReadFile(file.get(), text, sizeof text - 1, &read, nullptr)) {
        return 0;
    }
    return std::strtoul(text, nullptr, 10);
}

} // namespace

struct InstanceClaim::State {
    Handle lockFile;
    Handle showEvent{nullptr};
    bool held = false;
    std::wstring path;
};

InstanceClaim::InstanceClaim(const std::string& folder) : state_(std::make_unique<State>()) {
    state_->path = systemPath(joinPath(folder, kInstanceLockName));
    const unsigned long self = ::GetCurrentProcessId();
    // The event comes first: once the file names this process, another start
    // may open it.
    state_->showEvent = Handle(::CreateEventW(nullptr, FALSE, FALSE, eventName(self).c_str()));
    // Held without write sharing: a second holder's open fails. The file goes
    // with the last handle, so no leftover stays in the settings folder.
    for (int round = 0; round < 20; ++round) {
        state_->lockFile = Handle(::CreateFileW(
            state_->path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (state_->lockFile.valid()) {
            const std::string text = std::to_string(self);
            DWORD written = 0;
            ::SetFilePointer(state_->lockFile.get(), 0, nullptr, FILE_BEGIN);
            ::WriteFile(state_->lockFile.get(), text.data(), static_cast<DWORD>(text.size()),
                        &written, nullptr);
            ::SetEndOfFile(state_->lockFile.get());
            return;
        }
        const unsigned long error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION) {
            state_->held = true;
            state_->showEvent = Handle(nullptr);
            return;
        }
        // A file whose last holder just ended may still be on its way out.
        if (error != ERROR_ACCESS_DENIED) {
            break;
        }
        ::Sleep(10);
    }
    state_->showEvent = Handle(nullptr); // unguarded
}

InstanceClaim::~InstanceClaim() = default;

bool InstanceClaim::heldByAnother() const {
    return state_->held;
}

bool InstanceClaim::askHolderToShow() const {
    if (!state_->held) {
        return false;
    }
    // The holder writes its number just after it takes the file.
    unsigned long holder = 0;
    for (int round = 0; round < 200 && holder == 0; ++round) {
        holder = holderOf(state_->path);
        if (holder == 0) {
            ::Sleep(10);
        }
    }
    if (holder == 0) {
        return false;
    }
    // This start is the one the user just made, so it may hand the right to
    // come to the front on.
    ::AllowSetForegroundWindow(holder);
    Handle event(::OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName(holder).c_str()));
    return event.valid() && ::SetEvent(event.get()) != 0;
}

std::intptr_t InstanceClaim::showRequests() const {
    if (state_->held || !state_->lockFile.valid() || !state_->showEvent.valid()) {
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(state_->showEvent.get());
}

void InstanceClaim::takeShowRequests() {
    // An auto-reset event: the wait that reported it took it.
}

} // namespace tolvane::platform
