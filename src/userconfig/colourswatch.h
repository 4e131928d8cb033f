#pragma once

#include <QLabel>

// A label whose background shows a colour value of Utilisat.agc. It keeps
// the value itself, so that a system colour reference (0x800000nn) is saved
// back as the reference, not as the colour it stands for on this machine.
class ColourSwatch : public QLabel
{
    Q_OBJECT

public:
    explicit ColourSwatch(qint32 value, QWidget *parent = nullptr);

    qint32 value() const { return m_value; }
    void setValue(qint32 value);

private:
    void paintValue();

    qint32 m_value;
};
