// Settings store: written with the options issue.
