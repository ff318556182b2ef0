#pragma once
// The configuration record: where the items live and how the list is made.

#include <string>
#include <string_view>

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
    // "ftp" (TLS when the server offers it), "ftps" (TLS required) or
    // "sftp"; kept as written, so that a misspelt one is refused rather
    // than taken for plain FTP.
    std::string protocol = "ftp";
    // A PEM file of certificates trusted beside the system's, for a server
    // with a certificate of its own; "" for none.
    std::string certfile;
    // 1: items whose first letter is not A to Z are listed after Z, under
    // their own letters; 0: they are left off the page.
    int otherletters = 0;
    // 0: the page of old, rows coloured one by one; 1: today's page, with
    // header cells, style rules, a search field and sortable columns.
    int pagestyle = 0;
    // The order of the user's language for sorts that ignore case and for
    // the letters of the page: a language tag ("sv", "fr"); "" for the byte
    // order A-Z.
    std::string language;
    // Leading words that sorting and the letters pass over ("The;A;An").
    std::string articles;
    // 1: runs of digits compare by their value.
    int numbers = 0;

    friend bool operator==(const CListConfig&, const CListConfig&) = default;
};

// The upload protocols a configuration may name, in the order the dialog
// offers them, each with its own port.
struct UploadProtocol {
    std::string_view name;
    int port;
};
inline constexpr UploadProtocol kUploadProtocols[] = {{"ftp", 21}, {"ftps", 21}, {"sftp", 22}};

// The place of name in kUploadProtocols; -1 for a name that is none of them.
inline int UploadProtocolIndex(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kUploadProtocols); ++i)
        if (kUploadProtocols[i].name == name) return static_cast<int>(i);
    return -1;
}

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
