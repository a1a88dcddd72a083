#include "designer/QvDesigner.h"

#include "designer/DesignerMain.h"
#include "navbar/uiNavBar.h"
#include "navbar/uiNavBarBaseViews.h"
#include "navbar/uiNavBarExplorerViews.h"
#include "navbar/uiNavBarOffice11Views.h"
#include "navbar/uiNavBarOfficeViews.h"
#include "navbar/uiNavBarVSToolBoxViews.h"
#include "navbar/uiNavBarXPViews.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/System.h"

int RunQvdesigner() {
  Application->Initialize();
  Application->SetTitle("Quorvel Designer");
  // The main form's navigation bar, its views (the bar shows view 10) and
  // the look-and-feel units beneath them must stand before the form is
  // read.
  qv::classlib::InitializeUnit(uiNavBarUnit);
  qv::classlib::InitializeUnit(uiNavBarBaseViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarOfficeViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarExplorerViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarVSToolBoxViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarXPViewsUnit);
  qv::classlib::InitializeUnit(uiNavBarOffice11ViewsUnit);
  Application->CreateForm(QVDesigner);
  Application->Run();
  // The program's end frees its forms, as the application object does.
  Application->DestroyComponents();
  QVDesigner = nullptr;
  qv::classlib::FinalizeUnits();
  return 0;
}
