// The about window: the program's version.
#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace kuv {

class TFormA : public QWidget {
public:
    explicit TFormA(QWidget* parent = nullptr);

    void BitBtn1Click();

    QPushButton* BitBtn1;
    QLabel* Label2;
};

// The program's 32 x 32 picture: a little house under a sun.
QPixmap ProgramPicture();

}  // namespace kuv
