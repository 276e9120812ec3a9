#include "fleethealth/ui/OffsetChartWidget.h"

#include <QPainter>
#include <QPen>

#include "fleethealth/OffsetChartLayout.h"

namespace quirn {

namespace {
constexpr int kHintWidth = 640;
constexpr int kHintHeight = 220;
constexpr double kDotRadius = 3.0;
constexpr int kLabelGap = 4;
constexpr double kFitWidth = 2.0;
}  // namespace

OffsetChartWidget::OffsetChartWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("offsetChart");
    setMinimumHeight(kHintHeight / 2);
}

void OffsetChartWidget::setHistory(LocationOffsetHistory history, QString title) {
    history_ = std::move(history);
    title_ = std::move(title);
    update();
}

QSize OffsetChartWidget::sizeHint() const {
    return {kHintWidth, kHintHeight};
}

void OffsetChartWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRect(0, 0, width(), kTitleHeight), Qt::AlignCenter, title_);

    p.translate(0, kTitleHeight);
    const OffsetChartLayout c = layoutOffsetChart(history_, width(), height() - kTitleHeight);
    p.setPen(Qt::black);
    p.drawRect(QRectF(QPointF(c.left, c.top), QPointF(c.right, c.bottom)));

    QPen limitPen(kLimitColor, 1, Qt::DashLine);
    p.setPen(limitPen);
    p.drawLine(QPointF(c.left, c.upperLimitY), QPointF(c.right, c.upperLimitY));
    p.drawLine(QPointF(c.left, c.lowerLimitY), QPointF(c.right, c.lowerLimitY));
    p.setPen(QPen(kLimitColor, 1, Qt::DotLine));
    p.drawLine(QPointF(c.left, c.zeroY), QPointF(c.right, c.zeroY));

    p.setPen(Qt::black);
    const QFontMetrics fm = p.fontMetrics();
    for (const ChartTick& t : c.offsetTicks) {
        const QString label = QString::fromStdString(t.label);
        p.drawText(QPointF(c.left - kLabelGap - fm.horizontalAdvance(label),
                           t.position + fm.ascent() / 2.0),
                   label);
    }
    for (const ChartTick& t : c.timeTicks) {
        const QString label = QString::fromStdString(t.label);
        p.drawText(QPointF(t.position - fm.horizontalAdvance(label) / 2.0,
                           c.bottom + kLabelGap + fm.ascent()),
                   label);
    }
    if (c.empty) {
        p.drawText(QRectF(QPointF(c.left, c.top), QPointF(c.right, c.bottom)), Qt::AlignCenter,
                   tr("No clock readings in the history"));
        return;
    }
    p.setPen(QPen(kFitColor, kFitWidth));
    for (const auto& [a, b] : c.fitLines) p.drawLine(QPointF(a.x, a.y), QPointF(b.x, b.y));
    p.setPen(Qt::NoPen);
    p.setBrush(kDotColor);
    for (const ChartPoint& d : c.dots) p.drawEllipse(QPointF(d.x, d.y), kDotRadius, kDotRadius);
}

}  // namespace quirn
