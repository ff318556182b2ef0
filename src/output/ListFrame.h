#pragma once
// What Make list asks of the main window: the configuration with the files it
// names, the 'Database' pane whose items become the page, whom to tell of a
// failure, and who publishes the page once it is written.

#include "config/ListConfig.h"
#include "platform/ListPublisher.h"
#include "platform/MessageBox.h"

namespace tabulon {

class CTabulonWnd2;

class IListFrame {
public:
    virtual ~IListFrame() = default;
    virtual const CListConfig& Config() const = 0;
    // The files the configuration names now, resolved (ListConfig.h).
    virtual const ConfigFiles& Files() = 0;
    virtual CTabulonWnd2& DatabasePane() = 0;
    virtual IMessageBox& Messages() = 0;
    virtual IListPublisher& ListPublisher() = 0;
};

}  // namespace tabulon
