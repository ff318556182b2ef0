#pragma once
// The configuration record: where the items live and how the list is made.

#include <string>

namespace tabulon {

struct CListConfig {
    std::string database;
    std::string endfile;
    std::string headfile;
    std::string output;
    std::string cfgfile;
    std::string firstcol;
    std::string headcol;
    std::string indexcol;
    std::string secondcol;
    int viewout = 0;
    int ftpupload = 0;
    std::string filename;
    std::string loginname;
    std::string password;
    int port = 21;
    std::string server;
    int addindex = 3;
    int usewidth = 0;
    int width = 500;

    friend bool operator==(const CListConfig&, const CListConfig&) = default;
};

// The files a configuration names, each as a path the program can open: a
// relative name is taken from the folder of the .cfg file. The record keeps
// the names as the user wrote them, so that a save writes them back as they
// were.
struct ConfigFiles {
    std::string database;
    std::string output;
    std::string headfile;
    std::string endfile;

    friend bool operator==(const ConfigFiles&, const ConfigFiles&) = default;
};

}  // namespace tabulon
