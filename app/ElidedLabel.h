#pragma once

#include <QLabel>

// A one-line label that fits any text into its width: what does not fit
// ends in an ellipsis, and text() keeps the whole line. It asks for no
// width of its own, so a long text never pushes its neighbours aside.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
