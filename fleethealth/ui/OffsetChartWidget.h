#pragma once
#include <QColor>
#include <QString>
#include <QWidget>

#include "fleethealth/OffsetHistory.h"

namespace quirn {

// One location's clock offset over time: a dot per read, a line per drift fit and the
// validation's limits as dashed lines. Painted with QPainter from the same layout as the
// report's SVG chart.
class OffsetChartWidget final : public QWidget {
    Q_OBJECT
  public:
    static inline const QColor kDotColor{0, 90, 200};
    static inline const QColor kFitColor{220, 60, 30};
    static inline const QColor kLimitColor{150, 150, 150};
    // The title's strip above the chart; the chart's layout starts below it.
    static constexpr int kTitleHeight = 18;

    explicit OffsetChartWidget(QWidget* parent = nullptr);

    void setHistory(LocationOffsetHistory history, QString title);
    const LocationOffsetHistory& history() const { return history_; }
    QString title() const { return title_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    LocationOffsetHistory history_;
    QString title_;
};

}  // namespace quirn
