#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "pages/monitor_page.h"
#include "shell/main_dialog.h"
#include "shell/qt/qt_form.h"

class QRadioButton;

namespace tandrin {

class DialGauge;
class SortableList;
class TrendChart;

// The monitor page on Qt: three trend charts, the dial gauge with its three
// radio buttons and the sample list, driven by the core's MonitorPage. The
// list's context menu exports the samples as CSV.
class MonitorPageWidget : public QWidget, public DevicePage {
    Q_OBJECT

  public:
    MonitorPageWidget(ShellServices& shell, QWidget* parent = nullptr);
    ~MonitorPageWidget() override;

    MonitorPage& Logic() { return *m_page; }
    TrendChart* Chart(Quantity quantity) const;
    DialGauge* Gauge() const { return m_gauge; }
    SortableList* List() const { return m_list; }
    QRadioButton* Radio(int id) const;

    // DevicePage
    void Translate() override { m_page->Translate(); }
    void RefreshDegreeTexts() override { m_page->RefreshDegreeTexts(); }
    void Show(bool visible) override;
    bool OnCommand(int id) override { return m_page->OnCommand(id); }
    void SetSamplingPeriod(int seconds) override { m_page->SetSamplingPeriod(seconds); }
    bool MayDiscard() override { return m_page->MayDiscard(); }

    // Asks where, then writes every sample as CSV.
    void ExportCsv();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    class ChartView;
    class GaugeView;
    class ListView;

    void ShowListMenu(const QPoint& at);

    ShellServices& m_shell;
    QtForm m_form;
    std::array<TrendChart*, 3> m_charts{};
    DialGauge* m_gauge = nullptr;
    SortableList* m_list = nullptr;
    std::array<QRadioButton*, 3> m_radios{};
    std::unique_ptr<ChartView> m_chartViews[3];
    std::unique_ptr<GaugeView> m_gaugeView;
    std::unique_ptr<ListView> m_listView;
    std::unique_ptr<MonitorPage> m_page;
};

}  // namespace tandrin
