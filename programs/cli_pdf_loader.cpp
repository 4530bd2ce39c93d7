#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "programs/cli_pdf.h"

namespace kelvo::programs {
namespace {

using Render = bool (*)(const platform::PageLayout&, std::string&, std::string&);

// The module lies in lib/kelvo beside the program's bin folder, in the build tree as where
// it is installed; found from the program's own file, not from the current folder.
std::string ModulePath() {
    std::string self(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", self.data(), self.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= self.size()) return {};
    self.resize(static_cast<std::size_t>(n));
    return self.substr(0, self.rfind('/')) + "/../lib/kelvo/kelvo-pdf.so";
}

}  // namespace

bool RenderPdf(const platform::PageLayout& layOut, std::string& bytes, std::string& message) {
    static void* const module = [] {
        const std::string path = ModulePath();
        return path.empty() ? nullptr : ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }();
    const auto render = module ? reinterpret_cast<Render>(::dlsym(module, "KelvoRenderPdf")) : nullptr;
    if (!render) {
        const char* why = ::dlerror();
        message = std::string("модуль PDF (lib/kelvo/kelvo-pdf.so) не загружен") + (why ? std::string(": ") + why : "");
        return false;
    }
    return render(layOut, bytes, message);
}

}  // namespace kelvo::programs
