#pragma once

#include <QWidget>

class Platform;

class TForm4 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm4(Platform& platform, QWidget* parent = nullptr);
};
