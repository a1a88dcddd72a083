#include "platform/classlib/StdReg.h"

#include "platform/classlib/ActnList.h"
#include "platform/classlib/Buttons.h"
#include "platform/classlib/CheckLst.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/Dialogs.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/Jpeg.h"
#include "platform/classlib/Menus.h"
#include "platform/classlib/StdCtrls.h"

namespace qv::classlib {

void RegisterStandardClasses() {
  static bool done = false;
  if (done) return;
  // Set first: registering looks names up, which must not come back here.
  done = true;
  const TPersistentClass classes[] = {
      // Forms and controls.
      TForm::StaticClass(), TPanel::StaticClass(), TLabel::StaticClass(), TEdit::StaticClass(),
      TButton::StaticClass(), TCheckBox::StaticClass(), TRadioButton::StaticClass(), TGroupBox::StaticClass(),
      TComboBox::StaticClass(), TListBox::StaticClass(), TCheckListBox::StaticClass(), TImage::StaticClass(),
      TBevel::StaticClass(), TShape::StaticClass(), TNotebook::StaticClass(), TPage::StaticClass(),
      TColorBox::StaticClass(), TToolBar::StaticClass(), TToolButton::StaticClass(), TStatusBar::StaticClass(),
      TSpeedButton::StaticClass(),
      // Components without a window.
      TTimer::StaticClass(), TMainMenu::StaticClass(), TPopupMenu::StaticClass(), TMenuItem::StaticClass(),
      TOpenDialog::StaticClass(), TSaveDialog::StaticClass(), TImageList::StaticClass(),
      TActionList::StaticClass(), TAction::StaticClass(),
      // Graphics, named by picture data.
      TBitmap::StaticClass(), TIcon::StaticClass(), TMetafile::StaticClass(), TJPEGImage::StaticClass(),
  };
  for (TPersistentClass c : classes)
    if (!GetClass(c->name)) RegisterClass(c);
}

}  // namespace qv::classlib
