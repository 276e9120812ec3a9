#pragma once
#include <QDialog>
#include <string>
#include <vector>

#include "app/HelpDocuments.h"

class QTextBrowser;

namespace quirn {

// The help window of F1: a heading (version, working folder, COM map) and then the
// documentation, each Markdown file rendered by Qt with its pictures.
class HelpWindow final : public QDialog {
    Q_OBJECT

  public:
    HelpWindow(const std::string& heading, const std::vector<HelpDocument>& documents,
               QWidget* parent = nullptr);

  private:
    QTextBrowser* text_ = nullptr;
};

}  // namespace quirn
