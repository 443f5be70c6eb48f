#include <QApplication>

#include <cstdlib>

#include "frm_main.h"
#include "ksthid_library.h"
#include "qt_message_boxes.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("QV6180"));

  QtMessageBoxes boxes;
  KsthidLibrary library(boxes, KsthidLibrary::defaultFileNames());
  FrmMain frmMain(library, boxes, &library);
  boxes.setOwner(&frmMain);
  if (!frmMain.Form_Load()) return EXIT_FAILURE;
  frmMain.show();
  return QApplication::exec();
}
