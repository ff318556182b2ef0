// Tabulon's entry point. The main window is not built yet: for now the program
// reads a configuration, checks it as Make list would, and tells what it found.

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "app/MainFrame.h"
#include "base/TextFile.h"
#include "config/ConfigFile.h"
#include "grid/GridCtrl.h"

namespace {

using namespace tabulon;

class StderrMessageBox : public IMessageBox {
public:
    MbResult Show(const std::string& text, const std::string& caption, MbIcon, MbButtons) override {
        std::cerr << caption << ": " << text << "\n";
        return MbResult::Ok;
    }
};

class TitleOnlyWindow : public IMainWindow {
public:
    void SetTitle(const std::string& t) override { m_title = t; }
    std::string GetTitle() const override { return m_title; }
    bool IsGridLineChecked(bool horizontal) const override { return horizontal ? m_h : m_v; }
    void SetGridLineChecked(bool horizontal, bool checked) override { (horizontal ? m_h : m_v) = checked; }

private:
    std::string m_title = "Tabulon";
    bool m_h = true;
    bool m_v = true;
};

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: tabulon [CONFIG.cfg]\n       tabulon --help | --version\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 2) {
        PrintUsage(stderr);
        return 2;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("tabulon %s\n", TABULON_VERSION);
        return 0;
    }
    std::puts("Tabulon " TABULON_VERSION);
    std::puts("Built so far: the item table, the cells and the configuration file.");
    std::puts("Not built yet: the main window, the database file, the HTML list and the tools.");
    if (argc < 2) return 0;

    StderrMessageBox messages;
    TitleOnlyWindow window;
    CMainFrame frame(window, messages);
    CGridCtrl database(1, 1, 1, 1);
    database.SetCellText(0, 0, "Database");
    frame.SetDatabaseGrid(&database);
    ResetConfig(frame);
    const std::string path = argv[1];
    if (!FileExists(path)) {
        std::fprintf(stderr, "Configuration: %s not found\n", path.c_str());
        return 1;
    }
    // As Open configuration does: the record knows its own file, so the paths
    // inside it are found beside it.
    frame.Config().cfgfile = std::filesystem::absolute(path).lexically_normal().string();
    const ConfigGridLines lines = ReadConfigFile(frame, path);
    const CListConfig& config = frame.Config();
    std::printf("\nConfiguration %s\n", path.c_str());
    std::printf("  database  %s\n  output    %s\n  headfile  %s\n  endfile   %s\n", config.database.c_str(),
                config.output.c_str(), config.headfile.c_str(), config.endfile.c_str());
    std::printf("  colours   head %s, index %s, rows %s / %s\n", config.headcol.c_str(),
                config.indexcol.c_str(), config.firstcol.c_str(), config.secondcol.c_str());
    std::printf("  grid lines: horizontal %s, vertical %s\n", lines.horizontal ? "on" : "off",
                lines.vertical ? "on" : "off");
    std::printf("  columns  ");
    for (int c = 1; c < database.GetColumnCount(); ++c) std::printf(" [%s]", database.GetCellText(0, c).c_str());
    std::printf("\n");
    const bool valid = ValidateConfig(frame);
    std::printf("  ready for Make list: %s\n", valid ? "yes" : "no (see the message above)");
    return valid ? 0 : 1;
}
