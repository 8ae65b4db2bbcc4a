#pragma once

#include <QWidget>

class Platform;

class TForm7 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm7(Platform& platform, QWidget* parent = nullptr);
};
