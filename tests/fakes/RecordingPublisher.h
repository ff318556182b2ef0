#pragma once
// A list publisher that records every upload and every opening in the order
// they came, with what the page file held at that moment.

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "config/ListConfig.h"
#include "platform/ListPublisher.h"

namespace tabulon::fakes {

struct PublishCall {
    enum Kind { Upload, Open } kind;
    std::string file;
    int show = 0;            // OpenTarget only
    std::string server;      // UploadList only
    std::string remoteName;  // UploadList only
    std::string fileOnDisk;  // the bytes of file when the call came
};

class RecordingPublisher : public IListPublisher {
public:
    void UploadList(const CListConfig& config, const std::string& output) override {
        calls.push_back({PublishCall::Upload, output, 0, config.server, config.filename, Read(output)});
        uploaded = uploadSucceeds;
    }
    bool Uploaded() const override { return uploaded; }
    int OpenTarget(const std::string& file, int show) override {
        calls.push_back({PublishCall::Open, file, show, {}, {}, Read(file)});
        return openResult;
    }

    std::vector<PublishCall> calls;
    int openResult = 42;
    bool uploadSucceeds = true;
    bool uploaded = false;

private:
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
};

}  // namespace tabulon::fakes
