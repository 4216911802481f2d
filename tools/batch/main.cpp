// ombrix-batch: the main window's commands from the command line, without a window. The program
// itself links no Qt; save-graph loads the graph export module when it is first used.
#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "Batch.h"
#include "GraphExportModule.h"
#include "platform/Errors.h"

namespace {

#define OMBRIX_STRINGIFY2(x) #x
#define OMBRIX_STRINGIFY(x) OMBRIX_STRINGIFY2(x)

// The export module's entry points, loaded from the module beside the program's library folder
// (OMBRIX_EXPORT_MODULE, relative to the program's folder). Throws when it cannot be loaded.
struct ExportModule {
    OmbrixExportGraphFn exportGraph = nullptr;
    OmbrixEndGraphExportFn end = nullptr;
};

ExportModule loadExportModule() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path module = exe.parent_path() / OMBRIX_EXPORT_MODULE;
    void* handle = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        throw ombrix::OmbrixError("Cannot load the graph export module: " +
                                  std::string(why != nullptr ? why : module.string()));
    }
    ExportModule m;
    m.exportGraph = reinterpret_cast<OmbrixExportGraphFn>(
        ::dlsym(handle, OMBRIX_STRINGIFY(OMBRIX_GRAPH_EXPORT_ENTRY)));
    m.end = reinterpret_cast<OmbrixEndGraphExportFn>(
        ::dlsym(handle, OMBRIX_STRINGIFY(OMBRIX_GRAPH_EXPORT_END)));
    if (m.exportGraph == nullptr || m.end == nullptr) {
        throw ombrix::OmbrixError("The graph export module " + module.string() +
                                  " lacks its entry points");
    }
    return m;
}

}  // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> args(argv + 1, argv + argc);
    ExportModule module;
    const ombrix::GraphExporter exporter = [&](const ombrix::Picture& picture,
                                               const std::string& path) {
        if (module.exportGraph == nullptr) {
            module = loadExportModule();
        }
        std::string error;
        if (!module.exportGraph(picture, path.c_str(), error)) {
            throw ombrix::OmbrixError(error);
        }
    };
    const int status =
        ombrix::runBatch(args, std::cout, std::cerr, exporter, isatty(STDERR_FILENO) == 1);
    if (module.end != nullptr) {
        module.end();
    }
    return status;
}
