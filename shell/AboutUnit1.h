// The about window: the program's version.
#pragma once

#include "Scaling.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace kuv {

class TFormA : public QWidget {
public:
    explicit TFormA(const Scaling& scale = Scaling{}, QWidget* parent = nullptr);

    void BitBtn1Click();

    QPushButton* BitBtn1;
    QLabel* Label2;
};

// The program's 32 x 32 picture: a little house under a sun.
QPixmap ProgramPicture(int size = 32);

}  // namespace kuv
