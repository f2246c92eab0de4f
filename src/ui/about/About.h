// SPDX-License-Identifier: GPL-2.0-or-later
// The about box: names the tool and its version, says what it does, names its maker and links to
// the maker's web page. Created once, hidden; shown modally and reused.
#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class BevelPanel;
class PictureBox;
class ShellOpener;

// The maker's line and web page. The label shows the address without its scheme; the hints and the
// link target carry it whole.
inline constexpr const char* kMakerLine = "Made by the Leafbind developers";
inline constexpr const char* kMakerAddress = "https://leafbind.example.org";
inline constexpr const char* kMakerAddressShown = "leafbind.example.org";

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // `opener` opens the link; null means the desktop's own handler.
    explicit TAboutBox(QWidget* parent = nullptr, std::shared_ptr<ShellOpener> opener = nullptr);
    ~TAboutBox() override;

    void setVisible(bool visible) override;

protected:
    void hideEvent(QHideEvent* event) override;

public slots:
    void CommentsMouseMove(QObject* sender);
    void CommentsMouseLeave(QObject* sender);
    void CommentsClick(QObject* sender);
    void Image1MouseMove(QObject* sender);
    void Image1MouseLeave(QObject* sender);
    void Image1Click(QObject* sender);
    void image3MouseEnter(QObject* sender);
    void image3MouseLeave(QObject* sender);
    void image3Click(QObject* sender);

private:
    void BuildControls();
    void AttachHandlers();

    std::shared_ptr<ShellOpener> opener_;
    bool placed_ = false;
    bool image3Shifted_ = false;

    PictureBox* image3 = nullptr;
    BevelPanel* Panel1 = nullptr;
    QLabel* makerLine = nullptr;
    QLabel* Comments = nullptr;
    PictureBox* Image1 = nullptr;
    QLabel* sLabelFX1 = nullptr;
    QLabel* sLabel1 = nullptr;
    PictureBox* image4 = nullptr;
};
