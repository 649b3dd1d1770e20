true
