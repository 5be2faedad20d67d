// The Effects page: the 103 offered effects with their ticks, "Select All"/"Select None", and
// the preview of an effect on the next source picture.

#include <QCheckBox>
#include <QFrame>
#include <QPushButton>

#include "app/ListClickRelay.h"
#include "app/SaverForm.h"
#include "app/WizardTexts.h"
#include "app/widgets/CheckListBox.h"
#include "app/widgets/TextListBox.h"
#include "app/widgets/TransitionPlayerWidget.h"
#include "imaging/PictureLoader.h"
#include "raster/Bitmap.h"
#include "saver/OfferedEffects.h"
#include "transitions/TransitionEffects.h"

namespace kestrava {

QWidget* TSaverForm::CreateEffectsPage() {
  auto* page = new QWidget;
  page->setObjectName("tab_effects");
  lbx_effects = new TCheckListBox(page);
  lbx_effects->setObjectName("lbx_effects");
  lbx_effects->setSelectionMode(QAbstractItemView::SingleSelection);
  lbx_effects->setGeometry(8, 8, 145, 198);

  btnSelectEffects = new QPushButton(texts::kSelectAll, page);
  btnSelectEffects->setObjectName("btnSelectEffects");
  btnSelectEffects->setFlat(true);
  btnSelectEffects->setCheckable(true);
  btnSelectEffects->setGeometry(8, 212, 97, 25);

  pnl_effectpre = new QFrame(page);
  pnl_effectpre->setObjectName("pnl_effectpre");
  pnl_effectpre->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  pnl_effectpre->setGeometry(164, 8, 241, 170);
  TransitionPlayer1 = new TTransitionPlayerWidget(pnl_effectpre);
  TransitionPlayer1->setObjectName("TransitionPlayer1");
  TransitionPlayer1->setGeometry(pnl_effectpre->contentsRect());
  // It fills its panel: the player must not size its window to the pictures.
  TransitionPlayer1->Player().SetAlign(TAlign::alClient);

  scchkPreviewEffect = new QCheckBox;
  scchkPreviewEffect->setObjectName("scchkPreviewEffect");
  AddPreviewPanel(page, scchkPreviewEffect, "pnlPreviewEffect")->setGeometry(164, 184, 120, 25);
  AddNextButton(page, &TSaverForm::Build1_oldClick);
  return page;
}

void TSaverForm::ConnectEffectsPage() {
  connect(new TListClickRelay(*lbx_effects), &TListClickRelay::Clicked, this,
          [this] { lbx_effectsClick(); });
  connect(lbx_effects, &QListWidget::itemDoubleClicked, this, [this] { lbx_effectsDblClick(); });
  connect(btnSelectEffects, &QPushButton::clicked, this, [this] { btnSelectEffectsClick(); });
  connect(scchkPreviewEffect, &QCheckBox::toggled, this, [this] { scchkPreviewSourceClick(); });
}

void TSaverForm::FillEffectList() {
  int entries = 0;
  for (const int style : OfferedEffectStyles()) {
    lbx_effects->AddEntry(QStringLiteral("effect %1").arg(++entries), style);
    // The list keeps its numbered texts; the catalogue's name and number say what each one is.
    const std::string_view name = StyleNameOf(TTransitionStyle(style));
    lbx_effects->item(lbx_effects->count() - 1)
        ->setToolTip(QStringLiteral("%1 (style %2)")
                         .arg(QString::fromUtf8(name.data(), qsizetype(name.size())))
                         .arg(style));
  }
}

void TSaverForm::lbx_effectsClick() {
  Guarded([this] {
    const int sources = lbSourcefiles->count();
    if (!scchkPreviewEffect->isChecked() || sources == 0 || state_.SaverKind != 0) return;
    // The list may have become shorter since the last preview: start again from its top.
    if (state_.PreviewCursor >= sources) state_.PreviewCursor = 0;
    const TBitmap loaded =
        LoadPicture(lbSourcefiles->item(state_.PreviewCursor)->text().toStdString());
    const QSize size = pnl_effectpre->contentsRect().size();
    TBitmap frame(size.width(), size.height());
    frame.Canvas().StretchDraw(TRect{0, 0, size.width(), size.height()}, loaded);

    const int row = lbx_effects->currentRow();
    if (row < 0) return;
    TTransitionPlayer& player = TransitionPlayer1->Player();
    player.SetStretch(true);
    player.SetPicture(&frame);
    player.SetStyle(TTransitionStyle(lbx_effects->Data(row)));
    player.Execute();
    state_.PreviewCursor = uint8_t(state_.PreviewCursor + 1);
    if (state_.PreviewCursor == sources) state_.PreviewCursor = 0;
  });
}

void TSaverForm::lbx_effectsDblClick() {
  const int row = lbx_effects->currentRow();
  if (row >= 0) lbx_effects->SetChecked(row, !lbx_effects->Checked(row));
}

// The button has flipped already; ticks changed one by one in between do not matter.
void TSaverForm::btnSelectEffectsClick() {
  const bool all = btnSelectEffects->isChecked();
  btnSelectEffects->setText(all ? texts::kSelectNone : texts::kSelectAll);
  for (int row = 0; row < lbx_effects->count(); ++row)
    lbx_effects->SetChecked(row, all);
}

}  // namespace kestrava
