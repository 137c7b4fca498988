// rmd: options that need no window (rmd --due) are handled before any
// QApplication exists; otherwise the organiser's windows are loaded from the
// library beside the program and the login dialog comes up.
#include "app/CommandLine.h"
#include "app/Organiser.h"

#include <cstdio>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

std::string executableFolder()
{
    std::string path(4096, '\0');
    const ssize_t size = readlink("/proc/self/exe", path.data(), path.size());
    if (size <= 0) return ".";
    path.resize(size_t(size));
    const size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> handled = app::runCommandLine(argc, argv)) return *handled;

    const std::string library = executableFolder() + "/" + kOrganiserLibrary;
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "rmd：无法加载程序库 %s：%s\n", library.c_str(), dlerror());
        return 1;
    }
    auto run = reinterpret_cast<int (*)(int, char**)>(dlsym(handle, "lumo_run_organiser"));
    if (!run) {
        std::fprintf(stderr, "rmd：程序库 %s 不完整：%s\n", library.c_str(), dlerror());
        return 1;
    }
    return run(argc, argv);
}
