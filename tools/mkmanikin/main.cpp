// mkmanikin: creates manikins with libMKManikin from the command line.
#include "Commands.h"

int main(int argc, char** argv) {
  return mkcli::Run(argc, argv);
}
