#pragma once

#include <QWidget>

namespace tavrel::screens {

// The version number the about window shows.
inline constexpr const char* kVersion = "1.0.3";

// "About": the version and a few fixed lines about the editor.
class Form_About : public QWidget {
    Q_OBJECT
public:
    explicit Form_About(QWidget* parent = nullptr);
};

} // namespace tavrel::screens
