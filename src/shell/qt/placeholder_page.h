#pragma once

#include <QWidget>
#include <vector>

#include "shell/main_dialog.h"

namespace tandrin {

// A device page not built yet: an empty child window of the page's size
// that the page buttons show and hide. It keeps what the main window asked
// of it, so the routing can be seen.
class PlaceholderPage : public QWidget, public DevicePage {
    Q_OBJECT

  public:
    explicit PlaceholderPage(QWidget* parent = nullptr) : QWidget(parent) {}

    void Translate() override { ++translations; }
    void Show(bool visible) override { setVisible(visible); }
    bool OnCommand(int id) override {
        commands.push_back(id);
        return true;
    }
    void SetSamplingPeriod(int seconds) override { m_Period = seconds; }

    int translations = 0;
    std::vector<int> commands;
    int m_Period = 0;
};

}  // namespace tandrin
