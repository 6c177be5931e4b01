#pragma once

#include "edid/EdidDecode.h"
#include "edid/EdidEdit.h"

#include <QDialog>

#include <array>
#include <optional>

class QCheckBox;
class QRadioButton;
class QSpinBox;

// Asks for the audio a table announces: none, or LPCM with its channels,
// sample rates and sample sizes.
class AudioEditDialog : public QDialog {
    Q_OBJECT

public:
    explicit AudioEditDialog(QWidget* parent = nullptr);

    // Nothing stands for no audio.
    void SetAudio(const std::optional<LpcmAudio>& audio);
    std::optional<LpcmAudio> Audio() const;

private:
    void FollowChoice();

    QRadioButton* none_;
    QRadioButton* lpcm_;
    QSpinBox* channels_;
    std::array<QCheckBox*, 7> rates_{};
    std::array<QCheckBox*, 3> sizes_{};
};

// The audio the first CTA-861 block of revision 3 or later announces, in
// the dialog's terms: its first LPCM descriptor, nothing when it announces
// no audio, and two-channel 48 kHz 16-bit LPCM for audio in other formats.
std::optional<LpcmAudio> AnnouncedAudio(const DecodedEdid& decoded);
