#include "app/module1.h"

#include "app/frm_main.h"

namespace app::Module1 {

void Main() {
    auto* window = new frmMain;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

} // namespace app::Module1
