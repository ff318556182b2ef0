#pragma once
// The host for batch mode: every message goes to standard error as its
// caption and text, pickers answer Cancel, questions answer No, and nothing
// waits for a person.

#include <cstdio>
#include <string>

#include "platform/FilePicker.h"
#include "platform/ListPublisher.h"
#include "platform/MainWindow.h"
#include "platform/MessageBox.h"

namespace tabulon::batch {

class CStderrMessageBox : public IMessageBox {
public:
    explicit CStderrMessageBox(std::FILE* to = stderr) : m_to(to) {}
    MbResult Show(const std::string& text, const std::string& caption, MbIcon icon,
                  MbButtons buttons) override;
    // The text on one line: line ends become blanks.
    static std::string OneLine(const std::string& text);

private:
    std::FILE* m_to;
};

class CCancellingPicker : public IFilePicker {
public:
    std::optional<std::string> PickOpenFile(const FilePickerOptions&) override { return std::nullopt; }
    std::optional<std::string> PickSaveFile(const FilePickerOptions&) override { return std::nullopt; }
};

class CBatchWindow : public IMainWindow {
public:
    void SetTitle(const std::string& title) override { m_title = title; }
    std::string GetTitle() const override { return m_title; }
    bool IsGridLineChecked(bool horizontal) const override { return horizontal ? m_horizontal : m_vertical; }
    void SetGridLineChecked(bool horizontal, bool checked) override {
        (horizontal ? m_horizontal : m_vertical) = checked;
    }

private:
    std::string m_title = "Tabulon";
    bool m_horizontal = true;
    bool m_vertical = true;
};

// Batch mode never opens a viewer. The FTP client is not part of this build
// yet, so an upload that the configuration asks for is reported as not done.
class CBatchPublisher : public IListPublisher {
public:
    explicit CBatchPublisher(IMessageBox& messages) : m_messages(messages) {}
    void UploadList(const CListConfig& config, const std::string& output) override;
    int OpenTarget(const std::string&, int) override { return 33; }
    bool Failed() const { return m_failed; }

private:
    IMessageBox& m_messages;
    bool m_failed = false;
};

}  // namespace tabulon::batch
