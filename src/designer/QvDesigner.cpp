#include "designer/QvDesigner.h"

#include "designer/DesignerMain.h"
#include "platform/classlib/Forms.h"

int RunQvdesigner() {
  Application->Initialize();
  Application->SetTitle("Quorvel Designer");
  Application->CreateForm(QVDesigner);
  Application->Run();
  // The program's end frees its forms, as the application object does.
  Application->DestroyComponents();
  QVDesigner = nullptr;
  return 0;
}
