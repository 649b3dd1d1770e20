// init
