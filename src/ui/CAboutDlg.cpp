#include "CAboutDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "SonavistArt.h"
#include "platform/VersionResource.h"

namespace {

QLabel* Text(const QString& text, int controlId, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setProperty("controlId", controlId);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Sonavist"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(QPixmap::fromImage(SonavistArt::Icon(SonavistArt::kAboutIcon, 32)));
    icon->setAlignment(Qt::AlignTop);
    auto* version = new QLabel(
        QStringLiteral("Sonavist Version ") + QString::fromStdString(VersionResource::Text()),
        this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setProperty("controlId", 1);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addSpacing(8);
    texts->addWidget(
        Text(QStringLiteral("Grateful thanks and acknowledgements go to:"), 1029, this));
    const char* const lines[] = {
        "The Qt developers, for the widgets this window is made of.",
        "The RtMidi authors, for MIDI that works on every system.",
        "The JACK developers, for a MIDI server to test against.",
        "Every musician who keeps their voice banks and shares them.",
    };
    auto* thanks = new QVBoxLayout;
    thanks->setContentsMargins(12, 0, 0, 0);
    int id = 1030;
    for (const char* line : lines) {
        thanks->addWidget(Text(QString::fromUtf8(line), id++, this));
    }
    texts->addLayout(thanks);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setHorizontalSpacing(16);
    layout->addWidget(icon, 0, 0);
    layout->addLayout(texts, 0, 1);
    layout->addWidget(ok, 0, 2, Qt::AlignTop);
}
