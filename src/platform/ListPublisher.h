#pragma once
// What follows a written list page: sending it to the FTP server and opening
// it in the user's viewer.

#include <string>

namespace tabulon {

struct CListConfig;

class IListPublisher {
public:
    virtual ~IListPublisher() = default;
    // Sends output to server as filename; a failure to connect is shown to
    // the user by the publisher itself.
    virtual void UploadList(const CListConfig& config, const std::string& output) = 0;
    // Opens file in the user's viewer; above 32 means it worked.
    virtual int OpenTarget(const std::string& file, int show) = 0;
    // What the last upload did beside its work, for the status bar; "" for
    // nothing.
    virtual std::string UploadNote() const { return {}; }
    // Whether the last upload put the page on the server.
    virtual bool Uploaded() const { return false; }
};

constexpr int kShowNormal = 5;

}  // namespace tabulon
