// Resource ids of the program menu, the Options dialog and the About box.
#pragma once
