#pragma once

#include <QWidget>

class Platform;

class TForm2 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm2(Platform& platform, QWidget* parent = nullptr);
};
