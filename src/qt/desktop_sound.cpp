#include "qt/desktop_sound.h"

#include <dlfcn.h>

#include <cstdint>
#include <memory>
#include <string>

namespace vorlen {
namespace {

constexpr const char* kLibrary = "libcanberra.so.0";

// libcanberra's own names (canberra.h); the header is not needed to build.
struct ca_context;
constexpr int kCaSuccess = 0;
constexpr const char* kEventId = "event.id";
constexpr const char* kEventDescription = "event.description";
using ContextCreate = int (*)(ca_context**);
using ContextDestroy = int (*)(ca_context*);
using ContextPlay = int (*)(ca_context*, std::uint32_t, ...);
using StrError = const char* (*)(int);

}  // namespace

struct DesktopSound::Library {
    ca_context* context = nullptr;
    ContextDestroy destroy = nullptr;
    ContextPlay play = nullptr;
    StrError strerror = nullptr;

    std::string Reason(int code) const {
        const char* said = strerror(code);
        return said != nullptr ? said : "libcanberra error " + std::to_string(code);
    }
};

DesktopSound::~DesktopSound() {
    if (library_ != nullptr) {
        library_->destroy(library_->context);  // a failure here has no one to tell
        // libcanberra stays loaded: the backends it loaded itself (ALSA,
        // PulseAudio) are never let go and still point into it.
        delete library_;
    }
}

bool DesktopSound::Load() {
    void* handle = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        loadFailure_ = std::string(kLibrary) + " cannot be loaded" + (why ? ": " + std::string(why) : "");
        return false;
    }
    const auto symbol = [handle](const char* name) { return ::dlsym(handle, name); };
    auto* create = reinterpret_cast<ContextCreate>(symbol("ca_context_create"));
    auto library = std::make_unique<Library>();
    library->destroy = reinterpret_cast<ContextDestroy>(symbol("ca_context_destroy"));
    library->play = reinterpret_cast<ContextPlay>(symbol("ca_context_play"));
    library->strerror = reinterpret_cast<StrError>(symbol("ca_strerror"));
    if (create == nullptr || library->destroy == nullptr || library->play == nullptr ||
        library->strerror == nullptr) {
        loadFailure_ = std::string(kLibrary) + " lacks the functions of libcanberra";
        ::dlclose(handle);
        return false;
    }
    if (const int code = create(&library->context); code != kCaSuccess) {
        loadFailure_ = library->Reason(code);
        ::dlclose(handle);
        return false;
    }
    library_ = library.release();
    return true;
}

std::string DesktopSound::Play(const char* eventId, const char* description) {
    if (library_ == nullptr && (!loadFailure_.empty() || !Load())) {
        return loadFailure_;
    }
    const int code = library_->play(library_->context, 0, kEventId, eventId, kEventDescription,
                                    description, static_cast<const char*>(nullptr));
    return code == kCaSuccess ? std::string() : library_->Reason(code);
}

}  // namespace vorlen
