#pragma once

#include <QWidget>

class Platform;

class TForm5 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm5(Platform& platform, QWidget* parent = nullptr);
};
