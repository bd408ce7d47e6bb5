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

}  // namespace kuv
