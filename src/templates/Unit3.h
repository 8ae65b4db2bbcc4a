#pragma once

#include <QWidget>

class Platform;

class TForm3 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm3(Platform& platform, QWidget* parent = nullptr);
};
