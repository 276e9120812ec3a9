#include "plancalendar/ui/window/PlansWindowCalendar.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "plancalendar/ui/PlansCalendarTab.h"
#include "planedit/ui/PlansWindow.h"
#ifdef QUIRN_WITH_CALENDAR_IMPORT
#include "plancalendar/ui/import/ImportCalendarDialog.h"
#endif

namespace quirn::plancalendar {

namespace {

void followPick(PlansWindow& window, PlansCalendarTab& tab) {
    if (const std::optional<GroupKey> group = window.pickedGroup())
        tab.setGroup(*group);
    else
        tab.clearGroup();
}

#ifdef QUIRN_WITH_CALENDAR_IMPORT
void addImportButton(PlansWindow& window, PlansCalendarTab& tab, QWidget& page, QVBoxLayout& layout,
                     const CalendarHostOptions& options) {
    auto* row = new QHBoxLayout;
    auto* import = new QPushButton(QObject::tr("Import school calendar..."), &page);
    import->setObjectName(QStringLiteral("importCalendar"));
    row->addWidget(import);
    row->addStretch(1);
    layout.addLayout(row);
    QObject::connect(import, &QPushButton::clicked, &window, [&window, &tab, options] {
        std::vector<GroupKey> groups;
        if (const std::optional<GroupKey> group = window.pickedGroup()) groups.push_back(*group);
        auto* dialog = new ImportCalendarDialog(window.editor(), window.services().database,
                                                window.services().clock, options, groups, &window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        // The preview changed the highlight every calendar control shares.
        QObject::connect(dialog, &QDialog::finished, &tab, [&tab] { tab.redraw(); });
        dialog->open();
    });
}
#endif

}  // namespace

void addPlansCalendar(PlansWindow& window, const CalendarHostOptions& givenOptions) {
    // The control's "today" is the station's, so days before it stay closed in tests too.
    CalendarHostOptions options = givenOptions;
    if (!options.clock) options.clock = &window.services().clock;
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* tab = new PlansCalendarTab(window.editor(), window.services().database,
                                     window.services().clock, options, page);
    layout->addWidget(tab, 1);
#ifdef QUIRN_WITH_CALENDAR_IMPORT
    addImportButton(window, *tab, *page, *layout, options);
#endif
    QObject::connect(&window, &PlansWindow::pickedChanged, tab,
                     [&window, tab] { followPick(window, *tab); });
    followPick(window, *tab);
    window.addCalendarTab(page, QObject::tr("Calendar"));
}

}  // namespace quirn::plancalendar
