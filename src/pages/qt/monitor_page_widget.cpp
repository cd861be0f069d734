#include "pages/qt/monitor_page_widget.h"

#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QMenu>
#include <QRadioButton>
#include <QResizeEvent>

#include "controls/qt/dial_gauge.h"
#include "controls/qt/qt_text.h"
#include "controls/qt/sortable_list.h"
#include "controls/qt/trend_chart.h"
#include "device/degree_text.h"
#include "pages/monitor_page_ids.h"
#include "pages/trend_record_csv.h"
#include "shell/atomic_file.h"
#include "shell/lang_text.h"

namespace tandrin {

namespace {

using namespace monitor_ids;

QRect ToQRect(const PageRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// The list's column headers as the page last named them: the list keeps
// the names it was created with.
class HeaderTitles : public QIdentityProxyModel {
  public:
    using QIdentityProxyModel::QIdentityProxyModel;
    std::array<std::string, 3> titles;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < 3 && !titles[static_cast<std::size_t>(section)].empty()) {
            return ToQt(titles[static_cast<std::size_t>(section)]);
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
    void Retitle(int column, const std::string& title) {
        titles[static_cast<std::size_t>(column)] = title;
        emit headerDataChanged(Qt::Horizontal, column, column);
    }
};

}  // namespace

class MonitorPageWidget::ChartView : public TrendChartView {
  public:
    explicit ChartView(TrendChart* chart) : m_chart(chart) {}
    void SetRange(double min, double max, const std::string& name, const std::string& unit,
                  const std::string& title) override {
        m_chart->TrendChartModel::SetRange(
            min, max, name, unit.empty() ? std::nullopt : std::optional<std::string>(unit),
            title.empty() ? std::nullopt : std::optional<std::string>(title));
        m_chart->viewport()->update();
    }
    void SetRangeAndUnit(double min, double max, const std::string& unit) override {
        m_chart->TrendChartModel::SetRangeAndUnit(min, max, unit);
        m_chart->viewport()->update();
    }
    void SetSamples(const SampleList* samples, bool follow) override {
        m_chart->TrendChartModel::SetSamples(samples, follow);
    }
    void SetFollowLatest(bool follow) override { m_chart->SetFollowLatest(follow); }
    void SetDetailed(bool on) override {
        m_chart->TrendChartModel::SetDetailed(on);
        m_chart->viewport()->update();
    }
    void SetTitle(const std::string& title) override {
        m_chart->TrendChartModel::SetTitle(title);
        m_chart->viewport()->update();
    }
    void Place(const PageRect& rect) override { m_chart->setGeometry(ToQRect(rect)); }
    void Show(bool visible) override { m_chart->setVisible(visible); }
    void Repaint() override { m_chart->viewport()->repaint(); }

  private:
    TrendChart* m_chart;
};

class MonitorPageWidget::GaugeView : public DialGaugeView {
  public:
    explicit GaugeView(DialGauge* gauge) : m_gauge(gauge) {}
    void SetScale(double min, double max, const std::string& unit, int decimals) override {
        m_gauge->DialGaugeModel::SetScale(min, max, unit, decimals);
    }
    void SetLabelDecimals(int decimals) override {
        m_gauge->DialGaugeModel::SetLabelDecimals(decimals);
    }
    void SetValue(double value) override { m_gauge->DialGaugeModel::SetValue(value); }
    void Place(const PageRect& rect) override { m_gauge->setGeometry(ToQRect(rect)); }
    void Show(bool visible) override { m_gauge->setVisible(visible); }

  private:
    DialGauge* m_gauge;
};

class MonitorPageWidget::ListView : public SampleListView {
  public:
    explicit ListView(SortableList* list) : m_list(list), m_titles(new HeaderTitles(list)) {}
    void SetColumns(const std::string& layout) override {
        m_list->SetColumns(layout);
        m_titles->setSourceModel(&m_list->Model());
        m_list->setModel(m_titles);
        // The layout's 60 pixels hold a time in the Western face; the
        // Chinese face's digits are wider, and a cut time is no use.
        m_list->FitColumnTo(0, QStringLiteral("00:00:00"));
        m_list->FitColumnTo(2, QStringLiteral("mmH2O"));
    }
    void SetColumnTitle(int column, const std::string& title) override {
        if (column >= 0 && column < 3) {
            m_titles->Retitle(column, title);
            // The title and the sort arrow beside it stay whole ("单位").
            m_list->FitColumnTo(column, ToQt(title) + QStringLiteral("\u00A0\u00A0\u00A0\u00A0"));
        }
    }
    void AddRows(const std::vector<ListRow>& rows) override {
        std::vector<std::vector<std::string>> texts;
        texts.reserve(rows.size());
        for (const ListRow& row : rows) {
            texts.emplace_back(row.begin(), row.end());
        }
        m_list->AddRows(std::move(texts));
    }
    void DeleteAllRows() override { m_list->DeleteAllRows(); }
    void SortByColumn(int column, bool ascending) override {
        m_list->SortByColumn(column, ascending);
    }
    void ReplaceTexts(int column, const std::string& from, const std::string& to) override {
        m_list->ReplaceTexts(column, from, to);
    }
    void Place(const PageRect& rect) override {
        m_list->setGeometry(ToQRect(rect));
        m_list->setVisible(rect.Width() > 0);
    }

  private:
    SortableList* m_list;
    HeaderTitles* m_titles;
};

MonitorPageWidget::MonitorPageWidget(ShellServices& shell, QWidget* parent)
    : QWidget(parent), m_shell(shell) {
    const char* const chartNames[] = {"IDC_CURVE_PV", "IDC_CURVE_CURRENT", "IDC_CURVE_PERCENT"};
    for (std::size_t i = 0; i < m_charts.size(); ++i) {
        m_charts[i] = new TrendChart(this);
        m_charts[i]->setObjectName(QString::fromLatin1(chartNames[i]));
        m_chartViews[i] = std::make_unique<ChartView>(m_charts[i]);
    }
    m_gauge = new DialGauge(this);
    m_gauge->setObjectName(QStringLiteral("IDC_GAUGE"));
    m_gaugeView = std::make_unique<GaugeView>(m_gauge);
    m_list = new SortableList(this);
    m_list->setObjectName(QStringLiteral("IDC_LIST_SAMPLES"));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { ShowListMenu(at); });
    m_listView = std::make_unique<ListView>(m_list);

    // The radio buttons keep their template places, 2 pixels a dialog unit.
    const struct {
        int id;
        const char* caption;
        const char* name;
        int top;
    } radios[] = {{kRadioPv, "PV", "IDC_RADIO_PV", kRadioPvTopDu},
                  {kRadioMa, "mA", "IDC_RADIO_MA", kRadioMaTopDu},
                  {kRadioPercent, "%", "IDC_RADIO_PERCENT", kRadioPercentTopDu}};
    for (std::size_t i = 0; i < m_radios.size(); ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(radios[i].caption), this);
        radio->setObjectName(QString::fromLatin1(radios[i].name));
        radio->setGeometry(kRadioLeftDu * 2, radios[i].top * 2, 90, 24);
        const int id = radios[i].id;
        connect(radio, &QRadioButton::clicked, this, [this, id] { m_page->OnRadio(id); });
        m_form.Add(id, radio);
        m_radios[i] = radio;
    }

    m_page =
        std::make_unique<MonitorPage>(m_form, m_shell,
                                      MonitorViews{*m_chartViews[0], *m_chartViews[1],
                                                   *m_chartViews[2], *m_gaugeView, *m_listView});
    m_page->Initialise();
}

MonitorPageWidget::~MonitorPageWidget() {
    // The page stops its timers while its controls still exist.
    m_page.reset();
}

TrendChart* MonitorPageWidget::Chart(Quantity quantity) const {
    return m_charts[static_cast<std::size_t>(quantity)];
}

QRadioButton* MonitorPageWidget::Radio(int id) const {
    return id >= kRadioPv && id <= kRadioPercent ? m_radios[static_cast<std::size_t>(id - kRadioPv)]
                                                 : nullptr;
}

void MonitorPageWidget::Show(bool visible) {
    setVisible(visible);
    m_page->Show(visible);
}

void MonitorPageWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_page->Resize(event->size().width(), event->size().height());
}

void MonitorPageWidget::ShowListMenu(const QPoint& at) {
    QMenu menu(this);
    QString text = ToQt(LangText("strExportCsv"));
    if (text.isEmpty()) {
        text = QStringLiteral("Export as CSV...");
    }
    menu.addAction(text, this, [this] { ExportCsv(); });
    menu.exec(m_list->viewport()->mapToGlobal(at));
}

void MonitorPageWidget::ExportCsv() {
    const std::string path =
        m_shell.SaveFileDialogTitled(LangText("strExportCsv"), "CSV (*.csv)", "Data1", "csv");
    if (path.empty()) {
        return;
    }
    if (!WriteFileAtomically(path, TrendRecordCsv(m_page->Record(), chineseUi.load() == 1))) {
        m_shell.MessageBox(path + "can't create!", "HART", MessageIcon::kError);
    }
}

}  // namespace tandrin
