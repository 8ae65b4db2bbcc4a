#pragma once

#include <QWidget>

class Platform;

class TAboutBox : public QWidget
{
    Q_OBJECT
public:
    explicit TAboutBox(Platform& platform, QWidget* parent = nullptr);
};
