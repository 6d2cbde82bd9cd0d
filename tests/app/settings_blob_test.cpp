// Placeholder: the tests of this concern land here.
