#include "app/qt/HelpWindow.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace quirn {

namespace {
constexpr int kWidth = 820;
constexpr int kHeight = 640;
constexpr const char* kNoDocuments =
    "The documentation was not found: it is installed in `/usr/share/doc/quirnradio/`.";
}  // namespace

HelpWindow::HelpWindow(const std::string& heading, const std::vector<HelpDocument>& documents,
                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Quirn Radio Help");
    resize(kWidth, kHeight);
    auto* layout = new QVBoxLayout(this);
    text_ = new QTextBrowser(this);
    text_->setObjectName("helpText");
    text_->setOpenExternalLinks(false);
    QStringList searchPaths;
    std::string markdown = heading;
    for (const HelpDocument& doc : documents) {
        markdown += "\n\n---\n\n" + doc.markdown;
        searchPaths << QString::fromStdString(doc.folder);
    }
    if (documents.empty()) markdown += std::string("\n\n") + kNoDocuments;
    // Pictures are named relative to their own file.
    text_->setSearchPaths(searchPaths);
    text_->setMarkdown(QString::fromStdString(markdown));
    layout->addWidget(text_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

}  // namespace quirn
