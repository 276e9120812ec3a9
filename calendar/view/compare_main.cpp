// vorncal-compare: whether two pictures of the control (from either build's vorncal-view
// --picture) show the same marks in the same day cells. Glyphs are not compared: the builds
// draw with different fonts.
#include <cstdio>
#include <ctime>
#include <string>

#include "calendar/view/CellLooks.h"
#include "calendar/view/Picture.h"
#include "platform/CommandLineValues.h"

using namespace quirn;
using namespace quirn::vorncal;

namespace {

constexpr const char* kUsage =
    "usage: vorncal-compare A.ppm AxB B.ppm CxD\n"
    "The pictures are of controls created today; AxB and CxD are the sizes of \"X\" in each\n"
    "one's painting font (vorncal-view prints them). Prints each day cell whose look differs\n"
    "and exits 1 when one does or when neither picture shows a mark.\n";
constexpr int kMostPrinted = 40;

std::optional<calendar::TextSize> parseSize(const std::string& text) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return std::nullopt;
    auto w = parseNumber(text.substr(0, x), 1, 1000, NumberForm::Short);
    auto h = parseNumber(text.substr(x + 1), 1, 1000, NumberForm::Short);
    if (!w || !h) return std::nullopt;
    return calendar::TextSize{*w, *h};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    std::optional<Picture> a = readPpm(argv[1]), b = readPpm(argv[3]);
    std::optional<calendar::TextSize> ax = parseSize(argv[2]), bx = parseSize(argv[4]);
    if (!a || !b || !ax || !bx) {
        std::fprintf(stderr, "vorncal-compare: unreadable picture or size\n%s", kUsage);
        return 2;
    }
    const std::time_t today = std::time(nullptr);
    const std::vector<DayLook> first = dayLooks(*a, today, *ax), second = dayLooks(*b, today, *bx);
    if (first.size() != second.size()) {
        std::printf("the pictures show %d and %d days\n", static_cast<int>(first.size()),
                    static_cast<int>(second.size()));
        return 1;
    }
    int marked = 0, differing = 0;
    for (size_t i = 0; i < first.size(); ++i) {
        const DayLook& p = first[i];
        const DayLook& q = second[i];
        if (p.look != CellLook::Plain || q.look != CellLook::Plain) ++marked;
        if (p.look == q.look) {
            if (p.look != CellLook::Plain)
                std::printf("%04d-%02d-%02d: %s in both\n", p.year, p.month, p.day,
                            cellLookName(p.look));
            continue;
        }
        if (++differing <= kMostPrinted)
            std::printf("%04d-%02d-%02d: %s in %s, %s in %s\n", p.year, p.month, p.day,
                        cellLookName(p.look), argv[1], cellLookName(q.look), argv[3]);
    }
    std::printf("%d marked day cells, %d differ\n", marked, differing);
    return differing == 0 && marked > 0 ? 0 : 1;
}
