// tarnwake-ballistics: computes the game's gun tables (VPen.dat, HPen.dat, Gundata.dat) from
// period gun data by exterior ballistics and De Marre's armour formula. See README.md.

#include "Ballistics.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using tarnwake::ballistics::TTableFiles;

const char* const kUsage =
    "usage: tarnwake-ballistics --out DIR     write VPen.dat, HPen.dat and Gundata.dat to DIR\n"
    "       tarnwake-ballistics --check DIR   compare the files in DIR with a fresh computation\n"
    "       tarnwake-ballistics --report      print trajectories and penetrations per gun\n";

std::vector<std::pair<std::string, std::string>> Files(const TTableFiles& files) {
    return {{"VPen.dat", files.VPen}, {"HPen.dat", files.HPen}, {"Gundata.dat", files.Gundata}};
}

bool ReadFile(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

// The first line where two texts differ, numbered from 1.
int FirstDifferentLine(const std::string& a, const std::string& b) {
    int line = 1;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) {
            return line;
        }
        line += a[i] == '\n' ? 1 : 0;
    }
    return line;
}

int Write(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (const auto& [name, text] : Files(tarnwake::ballistics::GenerateTableFiles())) {
        std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        if (!out) {
            std::cerr << "tarnwake-ballistics: cannot write " << (dir / name).string() << "\n";
            return 1;
        }
        std::cout << "wrote " << (dir / name).string() << "\n";
    }
    return 0;
}

int Check(const fs::path& dir) {
    int status = 0;
    for (const auto& [name, text] : Files(tarnwake::ballistics::GenerateTableFiles())) {
        std::string shipped;
        if (!ReadFile(dir / name, shipped)) {
            std::cerr << (dir / name).string() << ": cannot be read\n";
            status = 1;
        } else if (shipped != text) {
            std::cerr << (dir / name).string() << ": differs from the computation at line "
                      << FirstDifferentLine(shipped, text) << "\n";
            status = 1;
        }
    }
    if (status == 0) {
        std::cout << "the tables in " << dir.string() << " are what the tool computes\n";
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--out") {
        return Write(args[1]);
    }
    if (args.size() == 2 && args[0] == "--check") {
        return Check(args[1]);
    }
    if (args.size() == 1 && args[0] == "--report") {
        std::cout << tarnwake::ballistics::Report(tarnwake::ballistics::ComputeTables());
        return 0;
    }
    std::cerr << kUsage;
    return args.size() == 1 && (args[0] == "--help" || args[0] == "-h") ? 0 : 2;
}
