# Tests of the transport part of the online update.
