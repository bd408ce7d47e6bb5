// The error window: the ErrorLog of the last run.
#pragma once

#include "Scaling.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace kuv {

class TFormE : public QWidget {
public:
    explicit TFormE(const Scaling& scale = Scaling{}, QWidget* parent = nullptr);

    // The ErrorLog operations of a run.
    void ClearLog();
    // Appends s and a line break.
    void AddLine(const QString& s);
    // What the error means and what to do, as the log's tooltip and
    // accessible description; ClearLog clears it.
    void SetExplanation(const QString& explanation);
    // The ErrorLog's text, lines ending in CR LF.
    const QString& LogText() const { return log_; }

    void Button1Click();

    QPlainTextEdit* Memo1;
    QPushButton* Button1;

private:
    QString log_;
};

}  // namespace kuv
