// The published-property tables of the class library's classes, compiled here once
// rather than in every unit that includes their headers.
#include "platform/classlib/ActnList.h"
#include "platform/classlib/Buttons.h"
#include "platform/classlib/CheckLst.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/Controls.h"
#include "platform/classlib/Dialogs.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/Menus.h"
#include "platform/classlib/SHDocVw.h"
#include "platform/classlib/StdCtrls.h"

#include "platform/classlib/TypInfo.h"

QV_DEFINE_PUBLISHED(TBasicAction)
QV_DEFINE_PUBLISHED(TContainedAction)
QV_DEFINE_PUBLISHED(TCustomAction)
QV_DEFINE_PUBLISHED(TActionList)
QV_DEFINE_PUBLISHED(TSpeedButton)
QV_DEFINE_PUBLISHED(TCheckListBox)
QV_DEFINE_PUBLISHED(TToolButton)
QV_DEFINE_PUBLISHED(TToolBar)
QV_DEFINE_PUBLISHED(TStatusPanel)
QV_DEFINE_PUBLISHED(TStatusBar)
QV_DEFINE_PUBLISHED(TSizeConstraints)
QV_DEFINE_PUBLISHED(TControl)
QV_DEFINE_PUBLISHED(TWinControl)
QV_DEFINE_PUBLISHED(TCommonDialog)
QV_DEFINE_PUBLISHED(TOpenDialog)
QV_DEFINE_PUBLISHED(TTimer)
QV_DEFINE_PUBLISHED(TCustomPanel)
QV_DEFINE_PUBLISHED(TImage)
QV_DEFINE_PUBLISHED(TBevel)
QV_DEFINE_PUBLISHED(TShape)
QV_DEFINE_PUBLISHED(TNotebook)
QV_DEFINE_PUBLISHED(TCustomColorBox)
QV_DEFINE_PUBLISHED(TCustomForm)
QV_DEFINE_PUBLISHED(TFont)
QV_DEFINE_PUBLISHED(TPen)
QV_DEFINE_PUBLISHED(TBrush)
QV_DEFINE_PUBLISHED(TCustomImageList)
QV_DEFINE_PUBLISHED(TMenuItem)
QV_DEFINE_PUBLISHED(TMenu)
QV_DEFINE_PUBLISHED(TPopupMenu)
QV_DEFINE_PUBLISHED(TWebBrowser)
QV_DEFINE_PUBLISHED(TCustomLabel)
QV_DEFINE_PUBLISHED(TCustomEdit)
QV_DEFINE_PUBLISHED(TButton)
QV_DEFINE_PUBLISHED(TCustomCheckBox)
QV_DEFINE_PUBLISHED(TRadioButton)
QV_DEFINE_PUBLISHED(TCustomComboBox)
QV_DEFINE_PUBLISHED(TComboBox)
QV_DEFINE_PUBLISHED(TCustomListBox)
