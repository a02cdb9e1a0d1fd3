#include "ToolFiles.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

namespace tarnwake::tools {

namespace {

namespace fs = std::filesystem;

int Write(const char* tool, const fs::path& dir, const std::vector<TMadeFile>& files) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (const auto& [name, bytes] : files) {
        std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << tool << ": cannot write " << (dir / name).string() << "\n";
            return 1;
        }
        std::cout << "wrote " << (dir / name).string() << " (" << bytes.size() << " bytes)\n";
    }
    return 0;
}

int Check(const fs::path& dir, const std::vector<TMadeFile>& files) {
    int status = 0;
    for (const auto& [name, bytes] : files) {
        std::ifstream in(dir / name, std::ios::binary);
        const std::string shipped((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::cerr << (dir / name).string() << ": cannot be read\n";
            status = 1;
        } else if (shipped != bytes) {
            std::cerr << (dir / name).string() << ": differs from what the tool makes\n";
            status = 1;
        }
    }
    if (status == 0) {
        std::cout << "the files in " << dir.string() << " are what the tool makes\n";
    }
    return status;
}

} // namespace

int RunFileTool(const char* toolName, int argc, char** argv, const std::vector<TMadeFile>& files) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--out") {
        return Write(toolName, args[1], files);
    }
    if (args.size() == 2 && args[0] == "--check") {
        return Check(args[1], files);
    }
    std::cerr << "usage: " << toolName << " --out DIR     write the files to DIR\n"
              << "       " << toolName << " --check DIR   compare the files in DIR with them\n";
    return args.size() == 1 && (args[0] == "--help" || args[0] == "-h") ? 0 : 2;
}

} // namespace tarnwake::tools
