// controls_demo: shows a form with one of each standard control, read from
// its form resource, on the headless desktop and saves the screen as PNG.
//
//   controls_demo OUT.png
#include <cstdio>
#include <memory>

#include "platform/classlib/Forms.h"
#include "platform/os/user/Message.h"
#include "platform/os/user/Screen.h"

namespace {

class TDemoForm : public TForm {
  QV_CLASS(TDemoForm, TForm)
  explicit TDemoForm(TComponent* AOwner) : TForm(AOwner) {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: controls_demo OUT.png\n");
    return 2;
  }
  RegisterClass(TDemoForm::StaticClass());
  std::unique_ptr<TDemoForm> form;
  try {
    form.reset(qv::classlib::newForm<TDemoForm>(nullptr));
  } catch (const Exception& e) {
    std::fprintf(stderr, "controls_demo: %s\n", e.Message().c_str());
    return 1;
  }
  form->Show();
  qv::os::pumpMessages();
  if (!qv::os::saveScreenshot(argv[1])) {
    std::fprintf(stderr, "controls_demo: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
