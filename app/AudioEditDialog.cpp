#include "app/AudioEditDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr const char* kRates[] = {"32", "44.1", "48", "88.2", "96", "176.4", "192"};
constexpr unsigned kSizes[] = {16, 20, 24};
constexpr std::uint8_t kLpcmFormat = 1;
constexpr std::uint8_t k48kHz = 0x04;
constexpr std::uint8_t k16Bits = 0x01;

std::uint8_t Bits(const QCheckBox* const* boxes, std::size_t count) {
    std::uint8_t bits = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (boxes[i]->isChecked()) {
            bits = static_cast<std::uint8_t>(bits | (1u << i));
        }
    }
    return bits;
}

void Check(QCheckBox* const* boxes, std::size_t count, std::uint8_t bits) {
    for (std::size_t i = 0; i < count; ++i) {
        boxes[i]->setChecked((bits & (1u << i)) != 0);
    }
}

} // namespace

AudioEditDialog::AudioEditDialog(QWidget* parent)
    : QDialog(parent), none_(new QRadioButton(tr("None"), this)),
      lpcm_(new QRadioButton(tr("LPCM"), this)), channels_(new QSpinBox(this)) {
    setObjectName(QStringLiteral("audioEdit"));
    setWindowTitle(tr("Audio"));
    none_->setObjectName(QStringLiteral("audioNone"));
    lpcm_->setObjectName(QStringLiteral("audioLpcm"));
    channels_->setObjectName(QStringLiteral("audioChannels"));
    channels_->setRange(1, 8);

    auto* rates = new QHBoxLayout;
    for (std::size_t i = 0; i < rates_.size(); ++i) {
        rates_[i] = new QCheckBox(QString::fromLatin1(kRates[i]), this);
        rates_[i]->setObjectName(QStringLiteral("audioRate%1").arg(i));
        rates->addWidget(rates_[i]);
    }
    auto* sizes = new QHBoxLayout;
    for (std::size_t i = 0; i < sizes_.size(); ++i) {
        sizes_[i] = new QCheckBox(QString::number(kSizes[i]), this);
        sizes_[i]->setObjectName(QStringLiteral("audioSize%1").arg(i));
        sizes->addWidget(sizes_[i]);
    }
    auto* form = new QFormLayout;
    form->addRow(tr("Channels:"), channels_);
    form->addRow(tr("Sample rates (kHz):"), rates);
    form->addRow(tr("Sample sizes (bits):"), sizes);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lpcm_, &QRadioButton::toggled, this, &AudioEditDialog::FollowChoice);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(none_);
    layout->addWidget(lpcm_);
    layout->addLayout(form);
    layout->addWidget(buttons);
    SetAudio(LpcmAudio{2, k48kHz, k16Bits});
}

void AudioEditDialog::SetAudio(const std::optional<LpcmAudio>& audio) {
    const LpcmAudio shown = audio.value_or(LpcmAudio{2, k48kHz, k16Bits});
    channels_->setValue(shown.channels);
    Check(rates_.data(), rates_.size(), shown.sampleRates);
    Check(sizes_.data(), sizes_.size(), shown.sampleSizes);
    (audio ? lpcm_ : none_)->setChecked(true);
    FollowChoice();
}

std::optional<LpcmAudio> AudioEditDialog::Audio() const {
    if (!lpcm_->isChecked()) {
        return std::nullopt;
    }
    return LpcmAudio{static_cast<std::uint8_t>(channels_->value()),
                     Bits(rates_.data(), rates_.size()), Bits(sizes_.data(), sizes_.size())};
}

// The LPCM settings count only for LPCM.
void AudioEditDialog::FollowChoice() {
    const bool lpcm = lpcm_->isChecked();
    channels_->setEnabled(lpcm);
    for (QCheckBox* box : rates_) {
        box->setEnabled(lpcm);
    }
    for (QCheckBox* box : sizes_) {
        box->setEnabled(lpcm);
    }
}

std::optional<LpcmAudio> AnnouncedAudio(const DecodedEdid& decoded) {
    for (const EdidExtension& extension : decoded.extensions) {
        if (!extension.cta || extension.cta->revision < 3) {
            continue;
        }
        const CtaExtension& cta = *extension.cta;
        for (const ShortAudioDescriptor& sad : cta.audioDescriptors) {
            if (sad.format == kLpcmFormat) {
                return LpcmAudio{sad.channels, static_cast<std::uint8_t>(sad.sampleRates & 0x7F),
                                 static_cast<std::uint8_t>(sad.sampleSizes & 0x07)};
            }
        }
        if (!cta.basicAudio && cta.audioDescriptors.empty()) {
            return std::nullopt;
        }
        break;
    }
    return LpcmAudio{2, k48kHz, k16Bits};
}
